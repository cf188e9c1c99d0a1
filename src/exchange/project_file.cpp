#include "project_file.h"

#include "db_error.h"
#include "file_helpers.h"
#include "ini_file.h"
#include "project_db.h"
#include "text_match.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <climits>
#include <cmath>

namespace {

const QString mainSection = QStringLiteral("Main");

QString actionSection(int position)
{
    return QStringLiteral("Action") + QString::number(position);
}

// The keys of an action section, in file order, with the field each one carries and the value
// a file without the key gives it. KeepVersions came last: older files lack it, and older
// readers ignore it.
struct ActionKey {
    const char *key;
    QString Action::*field;
    const char *missing = "";
};
const std::array<ActionKey, 10> actionKeys {{
    {"Enabled", &Action::enabled},
    {"FileFilter", &Action::fileFilter},
    {"FromFolder", &Action::fromFolder},
    {"ToFolder", &Action::toFolder},
    {"Description", &Action::description},
    {"FileDate", &Action::fileDate},
    {"FileSize", &Action::fileSize},
    {"Operator", &Action::op},
    {"InclSub", &Action::inclSub},
    {"KeepVersions", &Action::keepVersions, "NON"},
}};

// Why a file could not be written, as far as the file system tells.
QString writeFailureReason(const QString &file)
{
    const QFileInfo info(file);
    if (!QFileInfo(info.absolutePath()).isDir())
        return QStringLiteral("le dossier %1 n'existe pas").arg(info.absolutePath());
    if (info.isDir())
        return QStringLiteral("c'est un dossier");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("le fichier est en lecture seule");
    return QStringLiteral("écriture refusée par le système");
}

// Reads one value and writes it back into the same document, as every read of an INI value does.
QString readBack(
    IniDocument &document, const QString &section, const QString &key, const QString &defaultValue)
{
    QString value;
    if (!document.find(section, key, &value))
        value = defaultValue;
    document.set(section, key, value);
    return value;
}

} // namespace

bool IsProjectFileName(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    return !name.isEmpty() && GetExtension(name, false) == QLatin1String("TDRL");
}

QString ProjectFileNameProblem(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    if (IsProjectFileName(fileName))
        return {};
    if (name.isEmpty())
        return QStringLiteral("aucun nom de fichier");
    if (GetExtension(name, false).toUpper() == QLatin1String("TDRL"))
        return QStringLiteral("l'extension s'écrit en majuscules : « .TDRL »");
    return QStringLiteral("le nom doit finir par « .TDRL »");
}

std::vector<Project> ProjectsNamedNoCase(const ProjectDb &db, const QString &name)
{
    std::vector<Project> found;
    for (const Project &project : db.projectsByName()) {
        if (EqualsNoCase(project.name, name))
            found.push_back(project);
    }
    return found;
}

bool TemplateExists(const ProjectDb &db, const QString &name)
{
    return !ProjectsNamedNoCase(db, name).empty();
}

int ActionCountOf(const QString &text)
{
    // The longest prefix that reads as a decimal number: spaces, a sign, digits, a decimal part.
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    bool anyDigit = false;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        ++i;
        anyDigit = true;
    }
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
            ++i;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    if (!ok) // more digits than a double holds: only a huge value can get here
        return text.at(start) == u'-' ? 0 : INT_MAX;
    const double rounded = std::nearbyint(value); // the default rounding: halves to even
    if (!(rounded > 0))
        return 0;
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(rounded);
}

ExchangeResult ExportProject(ProjectDb &db, qint64 templateNo, const QString &file)
{
    ExchangeResult result;
    const QString path = QFileInfo(file).absoluteFilePath();
    std::optional<Project> project;
    std::vector<Action> actions;
    try {
        project = db.project(templateNo);
        if (project)
            actions = db.actionsOf(templateNo);
    } catch (const DbError &error) {
        result.error = QStringLiteral("Impossible d'exporter vers le fichier %1 : %2")
                           .arg(QDir::toNativeSeparators(path), error.description());
        return result;
    }
    if (!project) {
        result.error = QStringLiteral("Impossible d'exporter vers le fichier %1 : le projet "
                                      "n'existe plus.")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }

    IniDocument document(path);
    document.set(mainSection, QStringLiteral("TemplateName"), project->name);
    document.set(mainSection, QStringLiteral("Description"), project->description);
    const int count = static_cast<int>(actions.size());
    document.set(mainSection, QStringLiteral("Actions"), QString::number(count));
    for (int i = 0; i < count; ++i) {
        const Action &action = actions.at(static_cast<size_t>(i));
        for (const ActionKey &key : actionKeys)
            document.set(actionSection(i + 1), QLatin1String(key.key), action.*key.field);
    }
    if (!document.save()) {
        result.error = QStringLiteral("Impossible d'écrire le fichier %1 : %2.")
                           .arg(QDir::toNativeSeparators(path), writeFailureReason(path));
        return result;
    }
    result.ok = true;
    result.projectName = project->name;
    result.actions = count;
    result.templateNo = templateNo;
    return result;
}

QString ProjectNameInFile(const QString &file)
{
    QString name;
    IniDocument(file).find(mainSection, QStringLiteral("TemplateName"), &name);
    return name;
}

namespace {

// Reads the project and its actions out of document, writing back every value read; a refusal
// is the result's error.
ExchangeResult readProject(
    IniDocument &document, const QString &shownPath, Project &project, std::vector<Action> &actions)
{
    ExchangeResult result;
    const int lines = document.lineCount();
    project.name = readBack(document, mainSection, QStringLiteral("TemplateName"), {});
    if (project.name.isEmpty()) {
        result.error = QStringLiteral("Le fichier %1 ne contient pas de nom de projet (clé "
                                      "TemplateName de la section Main).")
                           .arg(shownPath);
        return result;
    }
    project.description = readBack(document, mainSection, QStringLiteral("Description"), {});
    const int count = ActionCountOf(
        readBack(document, mainSection, QStringLiteral("Actions"), QStringLiteral("0")));
    if (count > lines) {
        result.error = QStringLiteral("Le fichier %1 annonce %2 actions mais n'a que %3 lignes.")
                           .arg(shownPath, QString::number(count), QString::number(lines));
        return result;
    }
    actions.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        for (const ActionKey &key : actionKeys) {
            actions.at(static_cast<size_t>(i)).*key.field = readBack(
                document, actionSection(i + 1), QLatin1String(key.key), QLatin1String(key.missing));
        }
    }
    result.ok = true;
    result.projectName = project.name;
    result.actions = count;
    return result;
}

} // namespace

ExchangeResult ImportProject(
    ProjectDb &db, const QString &file, const std::vector<qint64> &replaced)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        ExchangeResult missing;
        missing.error = QStringLiteral("Ne peut ouvrir le fichier : ") + shownPath;
        return missing;
    }
    IniDocument document(path);
    Project project;
    std::vector<Action> actions;
    ExchangeResult result = readProject(document, shownPath, project, actions);
    document.save(); // a file that cannot be written (read-only) is imported all the same
    if (!result.ok)
        return result;
    try {
        result.templateNo
            = db.addProjectWithActions(project.name, project.description, actions, replaced);
    } catch (const DbError &error) {
        result.ok = false;
        result.error = QStringLiteral("Impossible d'importer le fichier %1 : %2")
                           .arg(shownPath, error.description());
    }
    return result;
}

QString CompanionFilePath(const QString &appDir)
{
    return appDir + QStringLiteral("TDRL_Exe.ini");
}

namespace {

const QString companionSection = QStringLiteral("AutoRunTemplate");

} // namespace

bool WriteCompanionFile(const QString &appDir, const QString &projectName, bool saveReport)
{
    IniDocument document(CompanionFilePath(appDir));
    document.set(companionSection, QStringLiteral("Name"), projectName);
    document.set(companionSection, QStringLiteral("ShowReport"),
        saveReport ? QStringLiteral("OUI") : QStringLiteral("NON"));
    return document.save();
}

CompanionRun ReadCompanionFile(const QString &appDir)
{
    IniDocument document(CompanionFilePath(appDir));
    CompanionRun run;
    run.projectName = readBack(document, companionSection, QStringLiteral("Name"), {});
    run.saveReport = ReadsAsTrue(
        readBack(document, companionSection, QStringLiteral("ShowReport"), QStringLiteral("NON")));
    document.save();
    return run;
}
