#pragma once

#include <QString>

#include <memory>

struct AppOptions;
class Prompter;
class QLockFile;
class frm_main;

// What a start of the window program leaves: the loaded main window and the lock that keeps
// a second instance out of the same application folder, or the exit status when it failed.
struct Startup {
    std::unique_ptr<QLockFile> instanceLock;
    std::unique_ptr<frm_main> window;
    int exitCode = 0;

    Startup();
    Startup(Startup &&) noexcept;
    Startup &operator=(Startup &&) noexcept;
    ~Startup();
};

// Finds the application folder (exeDir when writable, else perUserDir), takes the
// one-instance lock there and loads the main window. Failures are told through prompter.
Startup StartTandrel(Prompter &prompter, const QString &exeDir, const QString &perUserDir);

// Shows the loaded main window, minimised to the tray when the options say so.
void ShowMainWindow(frm_main &window, const AppOptions &options);
