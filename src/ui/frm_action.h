#pragma once

#include "records.h"

#include <QDialog>

#include <array>
#include <functional>

class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

// The editor of one action. It learns its mode from its title, which the opening command sets
// before showing it ("Nouvelle action" or "Edition de l'action"; any other title writes nothing).
// It stays bound to the action it was opened for: OK hands the action's keys and the edited
// column values to the save function, and closes only when that save succeeds, so a failed
// save loses nothing the user typed.
class frm_action : public QDialog {
    Q_OBJECT

public:
    // Writes the action by its keys (actionNo for an edit, templateNo for a new row); false
    // when the write failed (the save has already told the user).
    using SaveFunction = std::function<bool(const Action &)>;

    static const QString NewTitle; // "Nouvelle action"
    static const QString EditTitle; // "Edition de l'action"

    // action: the row being edited (its keys and stored texts), or for a new action the key of
    // its project (templateNo) and nothing else.
    frm_action(
        const Action &action, SaveFunction save, Prompter &prompter, QWidget *parent = nullptr);

    // Centres the window and starts Timer1; runs when the window is first shown.
    void Form_Load();
    // Fills the dialog once it is on screen: defaults for a new action, the stored texts for
    // an edit.
    void Timer1_Timer();

    void chk_datebig_Click(bool checked);
    void chk_datedif_Click(bool checked);
    void chk_sizebig_Click(bool checked);
    void chk_sizedif_Click(bool checked);
    void chk_and_Click(bool checked);
    void chk_or_Click(bool checked);
    void cmd_browsefrom_Click();
    void cmd_browseto_Click();
    void cmd_ok_Click();
    void cmd_cancel_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildWindow();
    void setTabOrder();
    // Keeps a pair exclusive; a click that would leave the pair empty is undone.
    void pairRule(QCheckBox *clicked, QCheckBox *other, bool checked, bool mayBeEmpty);
    Action editedAction() const;

    Action action_;
    SaveFunction save_;
    Prompter &prompter_;
    bool loaded_ = false;

    QLineEdit *txt_filter = nullptr;
    QLineEdit *txt_folderfrom = nullptr;
    QToolButton *cmd_browsefrom = nullptr;
    QLineEdit *txt_folderto = nullptr;
    QToolButton *cmd_browseto = nullptr;
    QLineEdit *txt_description = nullptr;
    QCheckBox *chk_enabled = nullptr;
    QCheckBox *chk_includesubfolders = nullptr;
    QCheckBox *chk_keepversions = nullptr;
    QCheckBox *chk_datebig = nullptr;
    QCheckBox *chk_datedif = nullptr;
    QCheckBox *chk_sizebig = nullptr;
    QCheckBox *chk_sizedif = nullptr;
    QCheckBox *chk_and = nullptr;
    QCheckBox *chk_or = nullptr;
    QPushButton *cmd_ok = nullptr;
    QPushButton *cmd_cancel = nullptr;
    QTimer *Timer1 = nullptr;
    std::array<QLabel *, 4> Label5 {};
};
