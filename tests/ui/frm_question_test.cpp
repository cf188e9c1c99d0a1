#include "frm_question.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

class FrmQuestionTest : public QObject {
    Q_OBJECT

private slots:
    void okAloneSetsTheReportOption();
};

void FrmQuestionTest::okAloneSetsTheReportOption()
{
    // Opens the dialog (the box ticked beforehand), ticks the box or not, and ends it by
    // "OK", "Annuler" or the title bar; returns what was seen.
    const auto answer = [](bool &showAll, bool tick, const char *end) {
        frm_question d(showAll);
        auto *option = d.findChild<QCheckBox *>(QStringLiteral("chk_showallinreport"));
        option->setChecked(true);
        d.show();
        if (option->isChecked())
            return QStringLiteral("ticked at opening");
        option->setChecked(tick);
        if (auto *button = d.findChild<QPushButton *>(QString::fromLatin1(end)))
            button->click();
        else
            d.close();
        if (d.isVisible())
            return QStringLiteral("still open");
        return QString::number(d.result() == QDialog::Accepted) + u' ' + QString::number(showAll);
    };
    bool showAll = false;
    QCOMPARE(answer(showAll, true, "cmd_ok"), QStringLiteral("1 1"));
    QCOMPARE(answer(showAll, false, "cmd_cancel"), QStringLiteral("0 1"));
    QCOMPARE(answer(showAll, false, "cmd_ok"), QStringLiteral("1 0"));
    QCOMPARE(answer(showAll, true, "cmd_cancel"), QStringLiteral("0 0"));
    QCOMPARE(answer(showAll, true, "title bar"), QStringLiteral("0 0"));
}

QTEST_MAIN(FrmQuestionTest)
#include "frm_question_test.moc"
