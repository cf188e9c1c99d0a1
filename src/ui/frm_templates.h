#pragma once

#include <QDialog>

#include <functional>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// The project editor: names a new project or renames and re-describes the chosen one. Its
// mode comes from its title, set before it is shown ("Nouveau projet" or "Edition du projet";
// any other title writes nothing). OK hands the trimmed name and the description as typed to
// the save function and closes only when that save succeeds.
class frm_templates : public QDialog {
    Q_OBJECT

public:
    // Writes the project (a new row, or the row the editor was opened for); false when the
    // write failed (the save has already told the user).
    using SaveFunction = std::function<bool(const QString &name, const QString &description)>;

    static const QString NewTitle; // "Nouveau projet"
    static const QString EditTitle; // "Edition du projet"

    // name, description: the chosen project's, shown in edit mode.
    frm_templates(const QString &name, const QString &description, SaveFunction save,
        Prompter &prompter, QWidget *parent = nullptr);

    // Centres the window; runs when it is first shown, before Form_Activate.
    void Form_Load();
    // Fills the boxes in edit mode and puts the focus on the name.
    void Form_Activate();
    void cmd_ok_Click();
    void cmd_cancel_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString name_;
    QString description_;
    SaveFunction save_;
    Prompter &prompter_;
    bool loaded_ = false;

    QLineEdit *txt_name = nullptr;
    QLineEdit *txt_description = nullptr;
    QPushButton *cmd_ok = nullptr;
    QPushButton *cmd_cancel = nullptr;
};
