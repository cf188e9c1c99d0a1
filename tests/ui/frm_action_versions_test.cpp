#include "frm_action.h"
#include "scripted_prompter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The editor's choice to keep the versions a run replaces: off for a new action, shown as
// stored for an edit, and saved as the user leaves it.
class FrmActionVersionsTest : public QObject {
    Q_OBJECT

private slots:
    void theChoiceIsShownAndSaved();
};

void FrmActionVersionsTest::theChoiceIsShownAndSaved()
{
    const struct {
        QString title;
        QString stored;
        bool shown;
    } cases[] = {
        {frm_action::NewTitle, "OUI", false}, // a new action starts off, whatever it is given
        {frm_action::EditTitle, "oui", true},
        {frm_action::EditTitle, "NON", false},
        {frm_action::EditTitle, "", false},
    };
    for (const auto &c : cases) {
        Action action {1, 2, "", "OUI", "*.*", "/a", "/b", "NON", ">", "<>", "OR"};
        action.keepVersions = c.stored;
        QStringList saved;
        ScriptedPrompter prompter;
        frm_action dialog(
            action, [&](const Action &a) { return saved << a.keepVersions, true; }, prompter);
        dialog.setWindowTitle(c.title);
        dialog.show();
        dialog.Timer1_Timer();
        auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("chk_keepversions"));
        QVERIFY(box);
        QCOMPARE(box->isChecked(), c.shown);
        dialog.findChild<QLineEdit *>(QStringLiteral("txt_folderfrom"))->setText("/a");
        dialog.findChild<QLineEdit *>(QStringLiteral("txt_folderto"))->setText("/b");
        box->click();
        dialog.findChild<QPushButton *>(QStringLiteral("cmd_ok"))->click();
        QCOMPARE(saved, QStringList {c.shown ? "NON" : "OUI"});
    }
}

QTEST_MAIN(FrmActionVersionsTest)
#include "frm_action_versions_test.moc"
