#include "frm_action.h"
#include "main_window_driver.h"

#include <QTest>

namespace {

// The ticked boxes, by name, in a fixed order.
QStringList ticked(const QWidget &d)
{
    QStringList names;
    for (const char *name : {"chk_enabled", "chk_includesubfolders", "chk_datebig", "chk_datedif",
             "chk_sizebig", "chk_sizedif", "chk_and", "chk_or"})
        if (child<QCheckBox>(d, name)->isChecked())
            names << QString::fromLatin1(name);
    return names;
}

// The columns the editor writes, in the order of the save.
QStringList columns(const Action &a)
{
    return {a.enabled, a.fileFilter, a.fromFolder, a.toFolder, a.description, a.inclSub, a.fileDate,
        a.fileSize, a.op, a.keepVersions};
}

Action stored(qint64 actionNo, qint64 templateNo)
{
    return {actionNo, templateNo, QStringLiteral("  Lettres  "), QStringLiteral("oui"),
        QStringLiteral("*.doc;*.odt"), QStringLiteral("/home/anne/Documents"),
        QStringLiteral("/media/clé/Documents"), QStringLiteral("Oui"), QStringLiteral("<>"),
        QStringLiteral(">"), QStringLiteral("AND")};
}

// An editor, shown and filled, whose saves are recorded and answered from saveAnswers.
struct Editor {
    ScriptedPrompter prompter;
    QList<Action> saved;
    QList<bool> saveAnswers;
    frm_action dialog;

    Editor(const QString &title, const Action &action)
        : dialog(
            action,
            [this](const Action &a) {
                saved << a;
                return saveAnswers.isEmpty() || saveAnswers.takeFirst();
            },
            prompter)
    {
        dialog.setWindowTitle(title);
        dialog.show();
        dialog.Timer1_Timer(); // at once rather than by its own timer
    }
    void ok() { child<QAbstractButton>(dialog, "cmd_ok")->click(); }
};

} // namespace

class FrmActionTest : public QObject {
    Q_OBJECT

private slots:
    void newActionPairRulesAndValidation()
    {
        Action keys;
        keys.actionNo = 41;
        keys.templateNo = 3;
        Editor e(frm_action::NewTitle, keys);
        frm_action &d = e.dialog;
        QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}));

        // Criterion pairs: the only ticked box stays ticked; ticking one unticks the other. The
        // operator pair is exclusive too, but may be left empty.
        const struct {
            const char *clicked;
            QStringList after;
        } clicks[] = {
            {"chk_datebig", {"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}},
            {"chk_datedif", {"chk_enabled", "chk_datedif", "chk_sizedif", "chk_or"}},
            {"chk_and", {"chk_enabled", "chk_datedif", "chk_sizedif", "chk_and"}},
            {"chk_and", {"chk_enabled", "chk_datedif", "chk_sizedif"}},
        };
        for (const auto &c : clicks) {
            child<QAbstractButton>(d, c.clicked)->click();
            QCOMPARE(ticked(d), c.after);
        }

        // A blank box is refused with the focus back on it; the three boxes are trimmed of spaces
        // only, the description is kept as typed.
        fill(&d,
            {{"txt_filter", " *.txt "}, {"txt_folderfrom", "  /home/anne  "}, {"txt_folderto", " "},
                {"txt_description", "  à garder  "}});
        QCOMPARE(e.prompter.said().size(), 1);
        QCOMPARE(d.focusWidget(), child<QLineEdit>(d, "txt_folderto"));
        child<QLineEdit>(d, "txt_folderto")->setText(QStringLiteral(" /media/clé USB\t "));

        // A failed save keeps the dialog and what was typed. An empty operator pair is stored "OR"
        // when a criterion is ticked.
        e.saveAnswers << false;
        e.ok();
        QVERIFY(d.isVisible());
        e.ok();
        QCOMPARE(e.saved.size(), 2);
        for (const Action &a : e.saved) {
            QCOMPARE(a.actionNo + a.templateNo * 1000, 3041); // the keys it was opened for
            QCOMPARE(columns(a),
                QStringList({"OUI", "*.txt", "/home/anne", "/media/clé USB\t", "  à garder  ",
                    "NON", "<>", "<>", "OR", "NON"}));
        }
    }

    void editFillsFromStoredTextsAndSavesTheBoundRow()
    {
        Editor e(frm_action::EditTitle, stored(12, 4));
        child<QLineEdit>(e.dialog, "txt_filter")->setText(QStringLiteral("*.odt"));
        child<QAbstractButton>(e.dialog, "chk_keepversions")->click();
        e.ok();
        QCOMPARE(columns(e.saved.value(0)),
            QStringList({"OUI", "*.odt", "/home/anne/Documents", "/media/clé/Documents",
                "  Lettres  ", "OUI", "<>", ">", "AND", "OUI"}));

        // Stored without criteria: OK keeps both criteria and the operator empty, even after "And";
        // other flags than "oui" read as unticked.
        Action bare = stored(12, 4);
        bare.inclSub = QStringLiteral("yes");
        bare.fileDate = QStringLiteral(" >");
        bare.fileSize.clear();
        bare.op.clear();
        bare.keepVersions = QStringLiteral("oui");
        Editor b(frm_action::EditTitle, bare);
        child<QAbstractButton>(b.dialog, "chk_and")->click();
        child<QAbstractButton>(b.dialog, "chk_keepversions")->click();
        b.ok();
        QCOMPARE(columns(b.saved.value(0)).mid(5), QStringList({"NON", "", "", "", "NON"}));

        // "Annuler" and the close box write nothing.
        Editor cancelled(frm_action::EditTitle, stored(1, 5)),
            closed(frm_action::EditTitle, stored(1, 5));
        child<QAbstractButton>(cancelled.dialog, "cmd_cancel")->click();
        QVERIFY(closed.dialog.close() && cancelled.dialog.isHidden());
        QVERIFY(cancelled.saved.isEmpty() && closed.saved.isEmpty());
    }
};

QTEST_MAIN(FrmActionTest)
#include "frm_action_test.moc"
