#include "project_commands.h"

#include "action_browser.h"
#include "db_error.h"
#include "error_box.h"
#include "file_helpers.h"
#include "frm_action.h"
#include "frm_main.h"
#include "frm_templates.h"
#include "main_view.h"
#include "project_db.h"
#include "project_file.h"
#include "prompter.h"

#include <QComboBox>

namespace {

const QString projectFilter = QStringLiteral("Projet Tandrel (*.TDRL)");

} // namespace

ProjectCommands::ProjectCommands(frm_main &window, MainView &view, Prompter &prompter,
    ProjectDb &db, ActionBrowser &browser, const QString &appDir)
    : window_(window)
    , view_(view)
    , prompter_(prompter)
    , db_(db)
    , browser_(browser)
    , appDir_(appDir)
{
}

template <typename Write> bool ProjectCommands::guarded(Write write)
{
    try {
        write();
        return true;
    } catch (const ProjectGone &error) {
        ShowErrorBox(prompter_, &window_, error.number(), error.description());
        window_.LoadTemplates();
        return true; // nothing left to save to: the editor closes
    } catch (const DbError &error) {
        ShowErrorBox(prompter_, &window_, error.number(), error.description());
        return false;
    }
}

void ProjectCommands::newProject()
{
    const auto save = [this](const QString &name, const QString &description) {
        return guarded([&] {
            db_.addProject(name, description);
            window_.LoadTemplates();
            window_.ShowTemplate(name);
        });
    };
    frm_templates editor(QString(), QString(), save, prompter_, &window_);
    editor.setWindowTitle(frm_templates::NewTitle);
    editor.exec();
}

void ProjectCommands::editProject()
{
    if (!view_.projectChosen())
        return;
    const qint64 templateNo = window_.CurrentTemplateNo();
    std::optional<Project> project;
    if (!guarded([&] { project = db_.project(templateNo); }) || !project)
        return;
    const auto save = [this, templateNo](const QString &name, const QString &description) {
        return guarded([&] {
            db_.updateProject(templateNo, name, description);
            window_.LoadTemplates();
            window_.ShowTemplate(name);
        });
    };
    frm_templates editor(project->name, project->description, save, prompter_, &window_);
    editor.setWindowTitle(frm_templates::EditTitle);
    editor.exec();
}

bool ProjectCommands::deleteProject()
{
    if (!view_.projectChosen())
        return false;
    const qint64 templateNo = window_.CurrentTemplateNo();
    if (!prompter_.confirmDeletion(&window_, QStringLiteral("Suppression d'un projet"),
            QStringLiteral("Confirmez la suppression du projet en cours ?\n\n")
                + view_.chosenName()))
        return false;
    bool deleted = false;
    guarded([&] {
        db_.deleteProject(templateNo);
        deleted = true;
        window_.LoadTemplates();
    });
    return deleted;
}

void ProjectCommands::newAction()
{
    if (window_.CurrentTemplateNo() == 0) {
        prompter_.critical(
            &window_, QStringLiteral("Erreur"), QStringLiteral("Sélectionnez un projet SVP.!"));
        view_.cmb_template->setFocus();
        return;
    }
    Action blank;
    blank.templateNo = window_.CurrentTemplateNo();
    const auto save = [this, templateNo = blank.templateNo](const Action &edited) {
        Action action = edited;
        action.actionNo = 0;
        action.templateNo = templateNo;
        return guarded([&] { browser_.addRow(action); });
    };
    frm_action editor(blank, save, prompter_, &window_);
    editor.setWindowTitle(frm_action::NewTitle);
    editor.exec();
}

void ProjectCommands::editAction()
{
    const Action *current = browser_.current();
    if (!current)
        return;
    const Action opened = *current;
    const auto save = [this, opened](const Action &edited) {
        Action action = edited;
        action.actionNo = opened.actionNo;
        action.templateNo = opened.templateNo;
        return guarded([&] { browser_.editRow(action); });
    };
    frm_action editor(opened, save, prompter_, &window_);
    editor.setWindowTitle(frm_action::EditTitle);
    editor.exec();
}

void ProjectCommands::deleteAction()
{
    const Action *current = browser_.current();
    if (!current)
        return;
    const Action action = *current;
    if (!prompter_.confirmDeletion(&window_, QStringLiteral("Suppression"),
            QStringLiteral("Confirmez la suppression de l'action sélectionnée?\n\n%1 : %2 → %3")
                .arg(action.fileFilter, action.fromFolder, action.toFolder)))
        return;
    guarded([&] { browser_.deleteRow(action); });
}

bool ProjectCommands::fileNameRefused(const QString &path, const QString &message)
{
    const QString problem = ProjectFileNameProblem(path);
    if (problem.isEmpty())
        return false;
    prompter_.critical(
        &window_, QStringLiteral("Erreur"), message + QStringLiteral("\r\r(") + problem + u')');
    return true;
}

void ProjectCommands::exportProject()
{
    const QString name = view_.chosenName();
    if (!view_.projectChosen())
        return;
    // The scheduler may choose another project while the file dialog is open.
    const qint64 templateNo = window_.CurrentTemplateNo();
    const QString path = prompter_.saveFileName(&window_, QStringLiteral("*.TDRL (Projet Tandrel)"),
        appDir_, name + QStringLiteral(".TDRL"), projectFilter, QStringLiteral("TDRL"));
    if (path.isEmpty()
        || fileNameRefused(path, QStringLiteral("Erreur dans le nom du fichier projet!")))
        return;
    browser_.moveFirst();
    window_.setBusyFlag(true);
    const ExchangeResult result = ExportProject(db_, templateNo, path);
    window_.setBusyFlag(false);
    browser_.moveFirst();
    if (!result.ok) {
        prompter_.critical(&window_, QStringLiteral("Erreur"), result.error);
        return;
    }
    prompter_.information(&window_, QStringLiteral("Information"),
        QStringLiteral("Projet exporté avec succès vers :\r") + path + QStringLiteral("\r\rNom : ")
            + result.projectName + QStringLiteral(", actions#: ")
            + QString::number(result.actions));
}

void ProjectCommands::importProject()
{
    const QString path
        = prompter_.openFileName(&window_, QStringLiteral("*.TDRL - (Projet Tandrel)"), appDir_,
            QStringLiteral("*.TDRL"), projectFilter);
    if (path.isEmpty() || fileNameRefused(path, QStringLiteral("Erreur dans le nom du projet!")))
        return;
    if (!FileExists(path)) {
        prompter_.critical(&window_, QStringLiteral("Erreur"),
            QStringLiteral("Ne peut ouvrir le fichier : ") + path);
        return;
    }
    const QString name = ProjectNameInFile(path);
    std::vector<qint64> replaced;
    if (!name.isEmpty() && !guarded([&] {
            for (const Project &project : ProjectsNamedNoCase(db_, name))
                replaced.push_back(project.templateNo);
        }))
        return;
    if (!replaced.empty()) {
        if (prompter_.message(&window_, Prompter::Icon::Warning,
                QStringLiteral("Remplacement de projet"),
                QStringLiteral("Projet de même nom : ") + name
                    + QStringLiteral(" déjà existant!\r\rRemplacer le projet existant?"),
                QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
            return;
        // The existing project is chosen and its deletion confirmed as the deletion command
        // does; it is deleted only once the new project is stored, in the same transaction.
        window_.chooseProject(name);
        const bool confirmed
            = prompter_.question(&window_, QStringLiteral("Suppression d'un projet"),
                QStringLiteral("Confirmez la suppression du projet en cours ?"));
        window_.LoadTemplates();
        if (!confirmed)
            return;
    }
    window_.setBusyFlag(true);
    const ExchangeResult result = ImportProject(db_, path, replaced);
    window_.setBusyFlag(false);
    if (!result.ok) {
        prompter_.critical(&window_, QStringLiteral("Erreur"), result.error);
        return;
    }
    window_.LoadTemplates();
    window_.ShowTemplate(result.projectName);
    browser_.moveFirst();
    prompter_.information(&window_, QStringLiteral("Information"),
        QStringLiteral("Projet importé avec succès depuis :\r") + path
            + QStringLiteral("\r\rNom : ") + view_.chosenName() + QStringLiteral(", actions#: ")
            + QString::number(browser_.rowCount()));
}

void ProjectCommands::exportToIni()
{
    const QString name = view_.chosenName();
    if (!view_.projectChosen())
        return;
    if (!prompter_.question(&window_, QStringLiteral("Création d'un fichier .INI"),
            QStringLiteral("Confirmez la création d'un fichier .INI pour le projet en cours : ")
                + name + QStringLiteral(" ?")))
        return;
    const bool saveReport = prompter_.question(&window_, QStringLiteral("Sauvegarde du rapport"),
        QStringLiteral("Voulez vous sauvegarder le rapport <TDRL> avant de quitter?"));
    // As every INI write, a file that cannot be written is not reported.
    WriteCompanionFile(appDir_, name, saveReport);
    prompter_.information(&window_, QStringLiteral("Création du fichier INI "),
        QStringLiteral("Fichier INI crée sous : ") + CompanionFilePath(appDir_)
            + QStringLiteral("\rProjet : ") + name
            + QStringLiteral("\r\rNota : Renommer le fichier TDRL_Exe.ini en TDRL_Exe.exe."));
}
