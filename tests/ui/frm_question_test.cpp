#include "frm_question.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

class FrmQuestionTest : public QObject {
    Q_OBJECT

private slots:
    void okAloneSetsTheReportOption()
    {
        // Option before, box ticked, way out (a button or the title bar), option after.
        const struct {
            bool before, tick;
            const char *end;
            bool after;
        } rows[] = {{false, true, "cmd_ok", true}, {true, false, "cmd_cancel", true},
            {true, false, "cmd_ok", false}, {false, true, "title bar", false}};
        for (const auto &r : rows) {
            bool showAll = r.before;
            frm_question d(showAll);
            auto *option = d.findChild<QCheckBox *>(QStringLiteral("chk_showallinreport"));
            option->setChecked(true);
            d.show();
            QVERIFY(!option->isChecked());
            option->setChecked(r.tick);
            if (auto *button = d.findChild<QPushButton *>(QString::fromLatin1(r.end)))
                button->click();
            else
                d.close();
            QVERIFY(!d.isVisible());
            QCOMPARE(d.result() == QDialog::Accepted, qstrcmp(r.end, "cmd_ok") == 0);
            QCOMPARE(showAll, r.after);
        }
    }
};

QTEST_MAIN(FrmQuestionTest)
#include "frm_question_test.moc"
