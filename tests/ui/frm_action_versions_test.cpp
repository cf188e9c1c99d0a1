#include "frm_action.h"
#include "scripted_prompter.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

// The editor shows an action's choice to keep versions as stored and saves it as left.
class FrmActionVersionsTest : public QObject {
    Q_OBJECT

private slots:
    void theChoiceIsShownAndSaved()
    {
        Action action {1, 2, "", "OUI", "*.*", "/a", "/b", "NON", ">", "<>", "OR"};
        action.keepVersions = "oui";
        QStringList saved;
        ScriptedPrompter prompter;
        frm_action dialog(
            action, [&](const Action &a) { return saved << a.keepVersions, true; }, prompter);
        dialog.setWindowTitle(frm_action::EditTitle);
        dialog.show();
        dialog.Timer1_Timer();
        auto *box = dialog.findChild<QCheckBox *>("chk_keepversions");
        QVERIFY(box && box->isChecked());
        box->click();
        dialog.findChild<QPushButton *>("cmd_ok")->click();
        QCOMPARE(saved, QStringList {"NON"});
    }
};

QTEST_MAIN(FrmActionVersionsTest)
#include "frm_action_versions_test.moc"
