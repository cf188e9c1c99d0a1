#pragma once

#include <QString>

class ProjectDb;

// Project files (".TDRL"): section "Main" with "TemplateName", "Description" and "Actions", then
// one section "Action1", "Action2"… per action with the keys "Enabled", "FileFilter",
// "FromFolder", "ToFolder", "Description", "FileDate", "FileSize", "Operator", "InclSub".

// True when a name chosen for a project file ends in ".TDRL" (case respected).
bool IsProjectFileName(const QString &fileName);

// True when a project of that name exists, without regard to case.
bool TemplateExists(const ProjectDb &db, const QString &name);

// The number of actions that "Actions" announces: the number at the start of the text, rounded
// half to even; 0 when the text does not start with a number; never below 0.
int ActionCountOf(const QString &text);

struct ExchangeResult {
    bool ok = false;
    QString error; // why it failed, in French, naming the file
    QString projectName; // the project written or created
    int actions = 0; // the number of actions written or created
    qint64 templateNo = 0; // import: the new project's key
};

// Writes the project templateNo and its actions into file (other sections of an existing file
// stay). Any failure is reported in the result.
ExchangeResult ExportProject(ProjectDb &db, qint64 templateNo, const QString &file);

// The most actions an imported project may announce: a file that announces more is refused
// rather than filling the database with empty actions.
constexpr int MaxImportedActions = 1000;

// The project name that a project file holds ("TemplateName" of "Main"), read without writing
// anything back; empty when missing.
QString ProjectNameInFile(const QString &file);

// Reads a project file and stores it as a new project with all its actions, in one transaction
// (all or nothing). A missing file, a file without a project name, and a file announcing more
// than MaxImportedActions actions are refused. Every value read is written back to the file
// (missing keys are added with their defaults); a file that cannot be written still imports.
// The caller has already dealt with an existing project of the same name (asked, deleted, or
// refused).
ExchangeResult ImportProject(ProjectDb &db, const QString &file);

// Writes the companion run file AppDir + "TDRL_Exe.ini": section "AutoRunTemplate", "Name" then
// "ShowReport" ("OUI" or "NON"). False when it cannot be written.
bool WriteCompanionFile(const QString &appDir, const QString &projectName, bool saveReport);
