#include "frm_action.h"
#include "scripted_prompter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

QLineEdit *box(const QWidget &d, const char *name)
{
    return d.findChild<QLineEdit *>(QString::fromLatin1(name));
}

void click(const QWidget &d, const char *name)
{
    d.findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
}

// The ticked boxes, by name, in a fixed order.
QStringList ticked(const QWidget &d)
{
    QStringList names;
    for (const char *name : {"chk_enabled", "chk_includesubfolders", "chk_datebig", "chk_datedif",
             "chk_sizebig", "chk_sizedif", "chk_and", "chk_or"})
        if (d.findChild<QCheckBox *>(QString::fromLatin1(name))->isChecked())
            names << QString::fromLatin1(name);
    return names;
}

// The columns the editor writes, in the order of the save.
QStringList columns(const Action &a)
{
    return {a.enabled, a.fileFilter, a.fromFolder, a.toFolder, a.description, a.inclSub, a.fileDate,
        a.fileSize, a.op};
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

    // fill: fill at once rather than by the dialog's own timer.
    Editor(const QString &title, const Action &action, bool fill = true)
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
        if (fill)
            dialog.Timer1_Timer();
    }
    void ok() { click(dialog, "cmd_ok"); }
};

} // namespace

class FrmActionTest : public QObject {
    Q_OBJECT

private slots:
    void newActionDefaultsAndPairRules();
    void editFillsFromStoredTextsAndSavesTheBoundRow();
    void validationTrimsAndRefusesInOrder();
};

void FrmActionTest::newActionDefaultsAndPairRules()
{
    Action keys;
    keys.actionNo = 41;
    keys.templateNo = 3;
    Editor e(frm_action::NewTitle, keys, false);
    frm_action &d = e.dialog;
    QCOMPARE(ticked(d), QStringList()); // empty until the timer fills the dialog on screen
    QTRY_COMPARE(box(d, "txt_filter")->text(), QStringLiteral("*.*"));
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}));
    QCOMPARE(d.focusWidget(), box(d, "txt_filter"));

    // Criterion pairs: the only ticked box stays ticked; ticking one unticks the other. The
    // operator pair is exclusive too, but may be left empty.
    const struct {
        const char *clicked;
        QStringList after;
    } clicks[] = {
        {"chk_datebig", {"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}},
        {"chk_datedif", {"chk_enabled", "chk_datedif", "chk_sizedif", "chk_or"}},
        {"chk_sizebig", {"chk_enabled", "chk_datedif", "chk_sizebig", "chk_or"}},
        {"chk_and", {"chk_enabled", "chk_datedif", "chk_sizebig", "chk_and"}},
        {"chk_and", {"chk_enabled", "chk_datedif", "chk_sizebig"}},
    };
    for (const auto &c : clicks) {
        click(d, c.clicked);
        QCOMPARE(ticked(d), c.after);
    }
    d.findChild<QCheckBox *>(QStringLiteral("chk_sizedif"))->setChecked(true); // by the dialog
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datedif", "chk_sizedif"}));

    // The browse buttons fill the folders (cancelled: the typed one stays).
    box(d, "txt_folderto")->setText(QStringLiteral("/typed/to"));
    e.prompter.folders << QStringLiteral("/srv/photos/");
    click(d, "cmd_browsefrom");
    click(d, "cmd_browseto");

    // ESC does nothing; Enter presses OK; a failed save keeps the dialog and what was typed.
    // An empty operator pair is stored "OR" when a criterion is ticked.
    e.saveAnswers << false;
    QTest::keyClick(box(d, "txt_folderto"), Qt::Key_Escape);
    QVERIFY(d.isVisible() && e.saved.isEmpty());
    QTest::keyClick(box(d, "txt_description"), Qt::Key_Return);
    QVERIFY(d.isVisible());
    e.ok();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(e.saved.size(), 2);
    for (const Action &a : e.saved) {
        QCOMPARE(a.actionNo + a.templateNo * 1000, 3041); // the keys it was opened for
        QCOMPARE(columns(a),
            QStringList({"OUI", "*.*", "/srv/photos", "/typed/to", "", "NON", "<>", "<>", "OR"}));
    }
    QVERIFY(e.prompter.shown.isEmpty());
}

void FrmActionTest::editFillsFromStoredTextsAndSavesTheBoundRow()
{
    Editor e(frm_action::EditTitle, stored(12, 4));
    // "oui" and "Oui" read as ticked.
    QCOMPARE(ticked(e.dialog),
        QStringList(
            {"chk_enabled", "chk_includesubfolders", "chk_datedif", "chk_sizebig", "chk_and"}));
    box(e.dialog, "txt_filter")->setText(QStringLiteral("*.odt"));
    e.ok();
    QCOMPARE(e.saved.value(0).actionNo, 12);
    QCOMPARE(columns(e.saved.value(0)),
        QStringList({"OUI", "*.odt", "/home/anne/Documents", "/media/clé/Documents", "  Lettres  ",
            "OUI", "<>", ">", "AND"}));

    // Stored without criteria: OK keeps both criteria and the operator empty, even after "And";
    // other flags than "oui" read as unticked.
    Action bare = stored(12, 4);
    bare.enabled = QStringLiteral("NON");
    bare.inclSub = QStringLiteral("yes");
    bare.fileDate = QStringLiteral(" >");
    bare.fileSize.clear();
    bare.op.clear();
    Editor b(frm_action::EditTitle, bare);
    QCOMPARE(ticked(b.dialog), QStringList());
    click(b.dialog, "chk_and");
    b.ok();
    QCOMPARE(columns(b.saved.value(0)).mid(5), QStringList({"NON", "", "", ""}));

    // "Annuler" and the close box write nothing; another title fills and writes nothing.
    Editor cancelled(frm_action::EditTitle, stored(1, 5));
    click(cancelled.dialog, "cmd_cancel");
    Editor closed(frm_action::EditTitle, stored(1, 5));
    QVERIFY(closed.dialog.close());
    Editor untitled(QStringLiteral("Action"), stored(1, 5));
    QCOMPARE(ticked(untitled.dialog), QStringList());
    for (const char *name : {"txt_filter", "txt_folderfrom", "txt_folderto"})
        box(untitled.dialog, name)->setText(QStringLiteral("/a"));
    untitled.ok();
    for (Editor *editor : {&cancelled, &closed, &untitled})
        QVERIFY(editor->dialog.isHidden() && editor->saved.isEmpty());
}

void FrmActionTest::validationTrimsAndRefusesInOrder()
{
    Editor e(frm_action::NewTitle, Action {});
    // Each step types into the boxes (nullptr: left as it is), presses OK and expects the box
    // that gets the focus back with a message (nullptr: saved).
    const struct {
        const char *filter, *from, *to;
        const char *refused;
    } steps[] = {
        {"   ", "  ", nullptr, "txt_filter"}, // only the first blank box is reported
        {" *.txt ", nullptr, "/b", "txt_folderfrom"},
        {nullptr, "  /home/anne/Mes documents  ", " ", "txt_folderto"},
        {nullptr, nullptr, " /media/clé USB\t ", nullptr},
    };
    box(e.dialog, "txt_description")->setText(QStringLiteral("  à garder  "));
    for (const auto &s : steps) {
        for (const auto &[name, text] : {std::pair {"txt_filter", s.filter},
                 std::pair {"txt_folderfrom", s.from}, std::pair {"txt_folderto", s.to}})
            if (text)
                box(e.dialog, name)->setText(QString::fromUtf8(text));
        box(e.dialog, "txt_description")->setFocus();
        e.ok();
        QCOMPARE(e.prompter.said().size(), s.refused ? 1 : 0);
        QCOMPARE(e.dialog.isVisible(), s.refused != nullptr);
        if (s.refused)
            QCOMPARE(e.dialog.focusWidget(), box(e.dialog, s.refused));
    }
    // The three boxes were trimmed of spaces only; the description is kept as typed.
    QCOMPARE(e.saved.size(), 1);
    QCOMPARE(columns(e.saved.value(0)).mid(1, 4),
        QStringList({"*.txt", "/home/anne/Mes documents", "/media/clé USB\t", "  à garder  "}));
}

QTEST_MAIN(FrmActionTest)
#include "frm_action_test.moc"
