#include "frm_action.h"
#include "scripted_prompter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

template <typename T = QWidget> T *child(const QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QLineEdit *box(const QWidget &d, const char *name)
{
    return child<QLineEdit>(d, name);
}

void click(const QWidget &d, const char *name)
{
    child<QAbstractButton>(d, name)->click();
}

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
        a.fileSize, a.op};
}

Action keys(qint64 actionNo, qint64 templateNo)
{
    Action a;
    a.actionNo = actionNo;
    a.templateNo = templateNo;
    return a;
}

Action storedAction(qint64 templateNo)
{
    return {0, templateNo, QStringLiteral("  Lettres  "), QStringLiteral("oui"),
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
    void newActionDefaultsPairRulesAndOperator();
    void editFillsFromStoredTextsAndSavesTheBoundRow();
    void trimmingAndValidationInOrder();
    void browseFailedSaveAndKeys();
};

void FrmActionTest::newActionDefaultsPairRulesAndOperator()
{
    Editor e(frm_action::NewTitle, keys(0, 7), false);
    frm_action &d = e.dialog;
    QVERIFY(d.isModal());
    QCOMPARE(ticked(d), QStringList()); // empty until the timer fills the dialog on screen
    QTRY_COMPARE(box(d, "txt_filter")->text(), QStringLiteral("*.*"));
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}));
    QCOMPARE(d.focusWidget(), box(d, "txt_filter"));

    // Criterion pairs: the only ticked box stays ticked; ticking one unticks the other.
    click(d, "chk_datebig");
    click(d, "chk_sizedif");
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datebig", "chk_sizedif", "chk_or"}));
    click(d, "chk_datedif");
    click(d, "chk_sizebig");
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datedif", "chk_sizebig", "chk_or"}));
    child<QCheckBox>(d, "chk_sizedif")->setChecked(true); // the dialog's own changes too
    // Operator pair: exclusive, and may be left empty.
    click(d, "chk_and");
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datedif", "chk_sizedif", "chk_and"}));
    click(d, "chk_and");
    QCOMPARE(ticked(d), QStringList({"chk_enabled", "chk_datedif", "chk_sizedif"}));

    // OK stores "OR" for an empty operator pair when a criterion is ticked.
    box(d, "txt_folderfrom")->setText(QStringLiteral("/home/anne/Photos"));
    box(d, "txt_folderto")->setText(QStringLiteral("/media/clé/Photos"));
    e.ok();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(columns(e.saved.value(0)),
        QStringList(
            {"OUI", "*.*", "/home/anne/Photos", "/media/clé/Photos", "", "NON", "<>", "<>", "OR"}));
    QVERIFY(e.prompter.shown.isEmpty());
}

void FrmActionTest::editFillsFromStoredTextsAndSavesTheBoundRow()
{
    Action stored = storedAction(4);
    stored.actionNo = 12;
    Editor e(frm_action::EditTitle, stored);
    QCOMPARE(box(e.dialog, "txt_folderto")->text(), stored.toFolder);
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
    Action bare = storedAction(4);
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
}

void FrmActionTest::trimmingAndValidationInOrder()
{
    Editor e(frm_action::NewTitle, Action {});
    auto failsWith = [&](const QString &message, const char *focus) {
        e.ok();
        return e.prompter.shown.size() == 1 && e.prompter.shown.takeLast().text == message
            && e.dialog.focusWidget() == box(e.dialog, focus) && e.dialog.isVisible();
    };

    // Everything blank: only the filter is reported, all three boxes are trimmed.
    box(e.dialog, "txt_filter")->setText(QStringLiteral("   "));
    box(e.dialog, "txt_folderfrom")->setText(QStringLiteral("  "));
    box(e.dialog, "txt_description")->setFocus();
    QVERIFY(
        failsWith(QStringLiteral("Entrez un filtre de sélection de fichiers SVP!"), "txt_filter"));
    QCOMPARE(box(e.dialog, "txt_folderfrom")->text(), QString());

    box(e.dialog, "txt_filter")->setText(QStringLiteral(" *.txt "));
    box(e.dialog, "txt_folderto")->setText(QStringLiteral("/b"));
    QVERIFY(failsWith(QStringLiteral("Sélectionnez le dossier origine SVP!"), "txt_folderfrom"));
    QCOMPARE(box(e.dialog, "txt_filter")->text(), QStringLiteral("*.txt"));

    box(e.dialog, "txt_folderfrom")->setText(QStringLiteral("  /home/anne/Mes documents  "));
    box(e.dialog, "txt_folderto")->setText(QStringLiteral(" "));
    QVERIFY(failsWith(QStringLiteral("Sélectionnez le dossier destination SVP!"), "txt_folderto"));
    QVERIFY(e.saved.isEmpty());

    // Only spaces are trimmed from the folders; the description is kept as typed.
    box(e.dialog, "txt_folderto")->setText(QStringLiteral(" /media/clé USB\t "));
    box(e.dialog, "txt_description")->setText(QStringLiteral("  à garder  "));
    e.ok();
    QVERIFY(e.prompter.shown.isEmpty());
    QCOMPARE(columns(e.saved.value(0)).mid(1, 4),
        QStringList({"*.txt", "/home/anne/Mes documents", "/media/clé USB\t", "  à garder  "}));
    QVERIFY(e.dialog.isHidden());
}

void FrmActionTest::browseFailedSaveAndKeys()
{
    Editor e(frm_action::NewTitle, keys(41, 3));
    box(e.dialog, "txt_folderfrom")->setText(QStringLiteral("/typed/from"));
    box(e.dialog, "txt_folderto")->setText(QStringLiteral("/typed/to"));
    e.prompter.folders << QStringLiteral("/srv/photos/");
    click(e.dialog, "cmd_browsefrom");
    click(e.dialog, "cmd_browseto"); // cancelled: the typed folder stays
    QCOMPARE(box(e.dialog, "txt_folderfrom")->text(), QStringLiteral("/srv/photos"));
    QCOMPARE(box(e.dialog, "txt_folderto")->text(), QStringLiteral("/typed/to"));

    // ESC does nothing; Enter presses OK; a failed save keeps the dialog and what was typed.
    e.saveAnswers << false;
    click(e.dialog, "chk_includesubfolders");
    QTest::keyClick(box(e.dialog, "txt_folderto"), Qt::Key_Escape);
    QVERIFY(e.dialog.isVisible() && e.saved.isEmpty());
    QTest::keyClick(box(e.dialog, "txt_description"), Qt::Key_Return);
    QCOMPARE(e.saved.size(), 1);
    QVERIFY(e.dialog.isVisible());
    e.ok();
    QCOMPARE(e.saved.size(), 2);
    QCOMPARE(e.dialog.result(), int(QDialog::Accepted));
    for (const Action &a : e.saved) {
        QCOMPARE(a.actionNo, 41); // the keys the editor was opened for
        QCOMPARE(a.templateNo, 3);
        QCOMPARE(columns(a),
            QStringList({"OUI", "*.*", "/srv/photos", "/typed/to", "", "OUI", ">", "<>", "OR"}));
    }

    // "Annuler" and the close box write nothing; another title fills and writes nothing.
    Editor cancelled(frm_action::EditTitle, storedAction(5));
    click(cancelled.dialog, "cmd_cancel");
    Editor closed(frm_action::EditTitle, storedAction(5));
    QVERIFY(closed.dialog.close());
    Editor untitled(QStringLiteral("Action"), storedAction(5));
    QCOMPARE(ticked(untitled.dialog), QStringList());
    QVERIFY(box(untitled.dialog, "txt_filter")->text().isEmpty());
    for (const char *name : {"txt_filter", "txt_folderfrom", "txt_folderto"})
        box(untitled.dialog, name)->setText(QStringLiteral("/a"));
    untitled.ok();
    for (Editor *editor : {&cancelled, &closed, &untitled}) {
        QVERIFY(editor->dialog.isHidden());
        QVERIFY(editor->saved.isEmpty());
    }
}

QTEST_MAIN(FrmActionTest)
#include "frm_action_test.moc"
