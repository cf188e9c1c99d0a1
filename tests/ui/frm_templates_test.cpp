#include "frm_templates.h"
#include "project_db.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QLineEdit *box(const frm_templates &d, const char *name)
{
    return d.findChild<QLineEdit *>(QString::fromLatin1(name));
}

void click(const frm_templates &d, const char *name)
{
    d.findChild<QPushButton *>(QString::fromLatin1(name))->click();
}

// Shows an editor with the given title and start values.
void open(frm_templates &d, const QString &title)
{
    d.setWindowTitle(title);
    d.show();
}

} // namespace

class FrmTemplatesTest : public QObject {
    Q_OBJECT

private slots:
    void newProjectIsSavedTrimmed();
    void editRewritesTheChosenProject();
    void cancelCloseEscapeAndOtherTitles();
};

void FrmTemplatesTest::newProjectIsSavedTrimmed()
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    ScriptedPrompter prompter;
    QList<bool> answers {false}; // the first save fails, as a refused write would
    int saves = 0;
    frm_templates d(
        QStringLiteral("ignoré"), QStringLiteral("ignorée"),
        [&](const QString &name, const QString &description) {
            ++saves;
            return answers.isEmpty() ? db.addProject(name, description) > 0 : answers.takeFirst();
        },
        prompter);
    open(d, frm_templates::NewTitle);
    QCOMPARE(d.focusWidget(), box(d, "txt_name"));
    QStringList order;
    QWidget *w = box(d, "txt_name");
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != box(d, "txt_name"));
    QCOMPARE(order, QStringList({"txt_name", "txt_description", "cmd_cancel", "cmd_ok"}));

    // Blanks are refused: the focus goes back to the emptied name, the description stays.
    box(d, "txt_name")->setText(QStringLiteral("    "));
    box(d, "txt_description")->setText(QStringLiteral(" Photos de famille "));
    box(d, "txt_description")->setFocus();
    click(d, "cmd_ok");
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Critical);
    QCOMPARE(prompter.shown[0].title + u'|' + prompter.shown[0].text,
        QStringLiteral("Erreur|Nom du projet SVP!"));
    QCOMPARE(box(d, "txt_name")->text(), QString());
    QCOMPARE(box(d, "txt_description")->text(), QStringLiteral(" Photos de famille "));
    QCOMPARE(d.focusWidget(), box(d, "txt_name"));
    QCOMPARE(saves, 0);

    // Enter in either box confirms; a failed save keeps the dialog open.
    box(d, "txt_name")->setText(QStringLiteral("  Photos 2007 "));
    QTest::keyClick(box(d, "txt_description"), Qt::Key_Return);
    QCOMPARE(saves, 1);
    QVERIFY(d.isVisible());
    QTest::keyClick(box(d, "txt_name"), Qt::Key_Enter);
    QCOMPARE(saves, 2);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const std::vector<Project> projects = db.projectsByName();
    QCOMPARE(projects.size(), std::size_t(1));
    QCOMPARE(projects[0].name, QStringLiteral("Photos 2007"));
    QCOMPARE(projects[0].description, QStringLiteral(" Photos de famille "));
}

void FrmTemplatesTest::editRewritesTheChosenProject()
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    const qint64 chosen = db.addProject(QStringLiteral("Musique"), QStringLiteral("MP3 et FLAC"));
    Action action;
    action.templateNo = chosen;
    db.addAction(action);
    ScriptedPrompter prompter;
    frm_templates d(
        QStringLiteral("Musique"), QStringLiteral("MP3 et FLAC"),
        [&](const QString &name, const QString &description) {
            db.updateProject(chosen, name, description);
            return true;
        },
        prompter);
    open(d, frm_templates::EditTitle);
    QCOMPARE(box(d, "txt_name")->text() + u'|' + box(d, "txt_description")->text(),
        QStringLiteral("Musique|MP3 et FLAC"));

    // Renamed, description cleared: the project keeps its actions.
    box(d, "txt_name")->setText(QStringLiteral("Musique ancienne "));
    box(d, "txt_description")->clear();
    click(d, "cmd_ok");
    QVERIFY(d.isHidden());
    QCOMPARE(db.project(chosen)->name, QStringLiteral("Musique ancienne"));
    QCOMPARE(db.project(chosen)->description, QString());
    QCOMPARE(db.actionsOf(chosen).size(), std::size_t(1));
}

void FrmTemplatesTest::cancelCloseEscapeAndOtherTitles()
{
    ScriptedPrompter prompter;
    int saves = 0;
    auto save = [&](const QString &, const QString &) { return ++saves > 0; };
    frm_templates cancelled(QStringLiteral("Musique"), QStringLiteral("MP3"), save, prompter);
    open(cancelled, frm_templates::EditTitle);
    box(cancelled, "txt_name")->setText(QStringLiteral("Autre nom"));
    QTest::keyClick(box(cancelled, "txt_name"), Qt::Key_Escape); // no button answers ESC
    QVERIFY(cancelled.isVisible());
    click(cancelled, "cmd_cancel");

    frm_templates closed(QString(), QString(), save, prompter);
    open(closed, frm_templates::NewTitle);
    box(closed, "txt_name")->setText(QStringLiteral("Nouveau"));
    QVERIFY(closed.close());

    // Any other title: the boxes are not filled and OK writes nothing, but closes.
    frm_templates untitled(QStringLiteral("Musique"), QStringLiteral("MP3"), save, prompter);
    open(untitled, QStringLiteral("Projet"));
    QCOMPARE(box(untitled, "txt_name")->text(), QString());
    box(untitled, "txt_name")->setText(QStringLiteral("Nom"));
    click(untitled, "cmd_ok");
    QVERIFY(cancelled.isHidden() && closed.isHidden() && untitled.isHidden());
    QCOMPARE(saves, 0);
    QVERIFY(prompter.shown.isEmpty());
}

QTEST_MAIN(FrmTemplatesTest)
#include "frm_templates_test.moc"
