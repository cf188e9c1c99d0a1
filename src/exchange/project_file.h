#pragma once

#include <QString>

class ProjectDb;

// Project files (".TDRL"): section "Main" with "TemplateName", "Description" and "Actions", then
// one section "Action1", "Action2"… per action with the keys "Enabled", "FileFilter",
// "FromFolder", "ToFolder", "Description", "FileDate", "FileSize", "Operator", "InclSub",
// "KeepVersions" ("NON" when missing: files made before it import as they did).

#include "records.h"

#include <vector>

// True when a name chosen for a project file ends in ".TDRL" (case respected).
bool IsProjectFileName(const QString &fileName);
// Why a name is refused as a project file's name, in French; empty when it is not.
QString ProjectFileNameProblem(const QString &fileName);

// The projects whose name equals name without regard to case, in list order.
std::vector<Project> ProjectsNamedNoCase(const ProjectDb &db, const QString &name);
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

// The project name that a project file holds ("TemplateName" of "Main"), read without writing
// anything back; empty when missing.
QString ProjectNameInFile(const QString &file);

// Reads a project file and stores it as a new project with all its actions, then deletes the
// projects it replaces, in one transaction (all or nothing). A missing file, a file without a
// project name, and a file announcing more actions than it has lines (missing action sections
// import as empty actions, but a few bytes cannot stand for millions of them) are refused.
// Every value read is written back to the file, once (missing keys are added with their
// defaults); a file that cannot be written still imports.
ExchangeResult ImportProject(
    ProjectDb &db, const QString &file, const std::vector<qint64> &replaced = {});

// The companion run file AppDir + "TDRL_Exe.ini": section "AutoRunTemplate", "Name" then
// "ShowReport" ("OUI" or "NON").
QString CompanionFilePath(const QString &appDir);
// Writes it; false when it cannot be written.
bool WriteCompanionFile(const QString &appDir, const QString &projectName, bool saveReport);
struct CompanionRun {
    QString projectName; // empty when the file names none
    bool saveReport = false;
};
// Reads it (and writes back what it read, as every INI read does).
CompanionRun ReadCompanionFile(const QString &appDir);
