#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Asks for the confirmation of a synchronisation and whether the report also lists the files
// left unchanged. OK writes that choice into showAllInReport and accepts; "Annuler" and the
// title bar leave it as it was.
class frm_question : public QDialog {
    Q_OBJECT

public:
    explicit frm_question(bool &showAllInReport, QWidget *parent = nullptr);

    void Form_Load();
    void cmd_ok_Click();
    void cmd_cancel_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool &showAllInReport_;
    QLabel *Label1 = nullptr;
    QCheckBox *chk_showallinreport = nullptr;
    QPushButton *cmd_ok = nullptr;
    QPushButton *cmd_cancel = nullptr;
};
