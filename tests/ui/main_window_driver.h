#pragma once

#include "frm_main.h"
#include "sample_projects.h"
#include "scripted_prompter.h"
#include "scripted_run.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QTimer>

#include <functional>

// What the window tests do with the main window and its dialogs, as a user would.

template <typename T = QObject> T *child(const QObject &w, const char *name)
{
    return w.findChild<T *>(QString::fromLatin1(name));
}

inline QComboBox *projectList(const frm_main &w)
{
    return child<QComboBox>(w, "cmb_template");
}

// Chooses the list entry at index, or of that name, as a user click does.
inline void choose(frm_main &w, int index)
{
    projectList(w)->setCurrentIndex(index);
    emit projectList(w)->activated(index);
}
inline void choose(frm_main &w, const QString &name)
{
    choose(w, projectList(w)->findText(name));
}

// The chosen project as "list text #key, number of actions".
inline QString chosen(frm_main &w)
{
    return QStringLiteral("%1 #%2, %3 actions")
        .arg(projectList(w)->currentText())
        .arg(w.CurrentTemplateNo())
        .arg(browserOf(w).rowCount());
}

inline QStringList entries(const frm_main &w)
{
    QStringList texts;
    for (int i = 0; i < projectList(w)->count(); ++i)
        texts << projectList(w)->itemText(i);
    return texts;
}

// A run window on screen; nullptr when there is none.
inline frm_sync *runWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *run = qobject_cast<frm_sync *>(window); run && run->isVisible())
            return run;
    return nullptr;
}

inline void press(QDialog *dialog, const char *button)
{
    child<QPushButton>(*dialog, button)->click();
}

// Types each text into its box, then presses the button.
inline void fill(QDialog *dialog,
    std::initializer_list<std::pair<const char *, const char *>> texts,
    const char *button = "cmd_ok")
{
    for (const auto &[box, text] : texts)
        child<QLineEdit>(*dialog, box)->setText(QString::fromUtf8(text));
    press(dialog, button);
}

// Acts on the modal dialogs as they show: each step runs on the dialog shown at that moment,
// once it has filled itself (its Timer1 has fired); a step that leaves the dialog open acts on
// it again. A run confirmation without a step is answered with Annuler.
class DialogDriver {
public:
    using Step = std::function<void(QDialog *)>;
    QQueue<Step> steps;
    QStringList titles; // the title of each dialog acted on

    DialogDriver()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { poll(); });
        poll_.start(10);
    }

    // A step answering a run confirmation: tick the option or not, then OK or Annuler.
    static Step answer(bool tick, bool ok)
    {
        return [=](QDialog *d) {
            if (tick)
                child<QCheckBox>(*d, "chk_showallinreport")->click();
            press(d, ok ? "cmd_ok" : "cmd_cancel");
        };
    }

private:
    void poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        const bool question = dialog->inherits("frm_question");
        auto *fillTimer = child<QTimer>(*dialog, "Timer1");
        if ((fillTimer && fillTimer->isActive()) || (steps.isEmpty() && !question))
            return;
        titles << dialog->windowTitle();
        (steps.isEmpty() ? answer(false, false) : steps.dequeue())(dialog);
    }

    QTimer poll_;
};

// The main window started on a temporary application folder holding these projects (each a
// name and the filters of its sample actions), its boxes answered by prompter, its dialogs by
// driver, its runs by run (or by the function given), the addresses it opens recorded, its
// clock reading now once that is set.
class OpenMainWindow {
public:
    explicit OpenMainWindow(
        std::initializer_list<std::pair<QString, QStringList>> projects = {}, RunFunction runs = {})
        : window(
            prompter, runs ? runs : run.function(),
            [this](const QUrl &url, const OpenFailed &failed) {
                opened << url;
                if (!canOpen)
                    failed();
            },
            [this] { return now.isValid() ? now : QDateTime::currentDateTime(); })
    {
        for (const auto &[name, filters] : projects)
            keys.push_back(addProject(dir, name, filters));
        window.Form_Load(dir.path());
    }
    ProjectDb db() const { return ProjectDb(dir(QStringLiteral("Tandrel.mdb"))); }

    TempDir dir;
    ScriptedPrompter prompter;
    ScriptedRun run;
    DialogDriver driver;
    QList<QUrl> opened;
    bool canOpen = true; // false: no program opens them
    QDateTime now;
    std::vector<qint64> keys; // of the projects, in order
    frm_main window;
};
