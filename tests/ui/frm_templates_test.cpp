#include "frm_templates.h"
#include "scripted_prompter.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// An editor shown with a title; its saves are recorded as "name|description" and answered from
// answers (true once they run out).
struct Editor {
    ScriptedPrompter prompter;
    QStringList saved;
    QList<bool> answers;
    frm_templates dialog;

    Editor(const QString &title, const QString &name = {}, const QString &description = {})
        : dialog(
            name, description,
            [this](const QString &n, const QString &d) {
                saved << n + u'|' + d;
                return answers.isEmpty() || answers.takeFirst();
            },
            prompter)
    {
        dialog.setWindowTitle(title);
        dialog.show();
    }
    QLineEdit *box(const char *name) { return dialog.findChild<QLineEdit *>(name); }
    void click(const char *name) { dialog.findChild<QPushButton *>(name)->click(); }
};

} // namespace

class FrmTemplatesTest : public QObject {
    Q_OBJECT

private slots:
    void savesTheTrimmedNameAndRefusesBlanks();
    void editFillsAndCancelCloseEscapeOrAnotherTitleSaveNothing();
};

void FrmTemplatesTest::savesTheTrimmedNameAndRefusesBlanks()
{
    Editor e(frm_templates::NewTitle, QStringLiteral("ignoré"));
    QCOMPARE(e.box("txt_name")->text(), QString());

    // Blanks are refused: the focus goes back to the emptied name, the description stays.
    e.box("txt_name")->setText(QStringLiteral("    "));
    e.box("txt_description")->setText(QStringLiteral(" Photos de famille "));
    e.box("txt_description")->setFocus();
    e.click("cmd_ok");
    QCOMPARE(e.prompter.said(false), QStringList {"Erreur"});
    QCOMPARE(e.box("txt_name")->text(), QString());
    QCOMPARE(e.dialog.focusWidget(), e.box("txt_name"));
    QVERIFY(e.saved.isEmpty());

    // Enter in either box confirms; a failed save keeps the dialog open.
    e.answers << false;
    e.box("txt_name")->setText(QStringLiteral("  Photos 2007 "));
    QTest::keyClick(e.box("txt_description"), Qt::Key_Return);
    QVERIFY(e.dialog.isVisible());
    QTest::keyClick(e.box("txt_name"), Qt::Key_Enter);
    QCOMPARE(e.saved, QStringList(2, "Photos 2007| Photos de famille "));
    QCOMPARE(e.dialog.result(), int(QDialog::Accepted));
}

void FrmTemplatesTest::editFillsAndCancelCloseEscapeOrAnotherTitleSaveNothing()
{
    // An edit fills the boxes; ESC does nothing, Annuler and the close box write nothing. Any
    // other title: the boxes are not filled and OK writes nothing, but closes.
    Editor edited(frm_templates::EditTitle, QStringLiteral("Musique"), QStringLiteral("MP3"));
    QCOMPARE(edited.box("txt_description")->text(), QStringLiteral("MP3"));
    Editor closed(frm_templates::NewTitle);
    Editor untitled(QStringLiteral("Projet"), QStringLiteral("Musique"));
    QCOMPARE(untitled.box("txt_name")->text(), QString());
    for (Editor *e : {&edited, &closed, &untitled})
        e->box("txt_name")->setText(QStringLiteral("Autre nom"));
    QTest::keyClick(edited.box("txt_name"), Qt::Key_Escape);
    QVERIFY(edited.dialog.isVisible());
    edited.click("cmd_cancel");
    QVERIFY(closed.dialog.close());
    untitled.click("cmd_ok");
    for (Editor *e : {&edited, &closed, &untitled})
        QVERIFY(e->dialog.isHidden() && e->saved.isEmpty() && e->prompter.shown.isEmpty());
}

QTEST_MAIN(FrmTemplatesTest)
#include "frm_templates_test.moc"
