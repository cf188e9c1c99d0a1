#pragma once

#include <QString>

#include <exception>

class ActionBrowser;
class MainView;
class Prompter;
class ProjectDb;
class frm_main;

// The main window's project and action maintenance and its project-file commands, carried out
// through the store (the database and the action browser) and the exchange layer. An open
// editor stays bound to the project and action it was opened for; a failed write shows the
// error box and leaves the editor open, except when the project has gone meanwhile: then the
// error box says so and the project list is read again.
class ProjectCommands {
public:
    ProjectCommands(frm_main &window, MainView &view, Prompter &prompter, ProjectDb &db,
        ActionBrowser &browser, const QString &appDir);

    void newProject();
    void editProject();
    // Asks first; true when the project was deleted.
    bool deleteProject();
    void newAction();
    void editAction();
    void deleteAction();

    // Writes the current project to a ".TDRL" file.
    void exportProject();
    // Reads a ".TDRL" file as a new project, replacing a project of the same name (in any
    // case) once the user agreed to replace and to delete it.
    void importProject();
    // Writes the companion run file naming the current project.
    void exportToIni();

private:
    // Runs a database write; false after showing the error box when it failed.
    template <typename Write> bool guarded(Write write);
    bool fileNameRefused(const QString &path, const QString &message);

    frm_main &window_;
    MainView &view_;
    Prompter &prompter_;
    ProjectDb &db_;
    ActionBrowser &browser_;
    QString appDir_;
};
