#include "frm_templates.h"

#include "prompter.h"
#include "trim_spaces.h"
#include "window_helpers.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

const QString frm_templates::NewTitle = QStringLiteral("Nouveau projet");
const QString frm_templates::EditTitle = QStringLiteral("Edition du projet");

frm_templates::frm_templates(const QString &name, const QString &description, SaveFunction save,
    Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , name_(name)
    , description_(description)
    , save_(std::move(save))
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("frm_templates"));
    setModal(true);

    QLabel *Label5[2] = {new QLabel(QStringLiteral("Nom :"), this),
        new QLabel(QStringLiteral("Description :"), this)};
    for (QLabel *label : Label5)
        label->setObjectName(QStringLiteral("Label5"));
    txt_name = new QLineEdit(this);
    txt_name->setObjectName(QStringLiteral("txt_name"));
    txt_description = new QLineEdit(this);
    txt_description->setObjectName(QStringLiteral("txt_description"));
    Label5[0]->setBuddy(txt_name);
    Label5[1]->setBuddy(txt_description);

    cmd_ok = new QPushButton(QStringLiteral("OK"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    connect(cmd_ok, &QPushButton::clicked, this, &frm_templates::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &frm_templates::cmd_cancel_Click);

    auto *fields = new QGridLayout;
    fields->addWidget(Label5[0], 0, 0);
    fields->addWidget(txt_name, 1, 0);
    fields->addWidget(Label5[1], 2, 0);
    fields->addWidget(txt_description, 3, 0);
    fields->setVerticalSpacing(4);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow(cmd_ok, cmd_cancel));
    // The description box is the wider one.
    txt_name->setMaximumWidth(260);
    setMinimumWidth(440);

    QWidget::setTabOrder(txt_name, txt_description);
    QWidget::setTabOrder(txt_description, cmd_cancel);
    QWidget::setTabOrder(cmd_cancel, cmd_ok);
}

void frm_templates::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !loaded_) {
        loaded_ = true;
        Form_Load();
        Form_Activate();
    }
}

void frm_templates::keyPressEvent(QKeyEvent *event)
{
    // No button answers ESC.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frm_templates::Form_Load()
{
    CenterForm(this);
}

void frm_templates::Form_Activate()
{
    if (windowTitle() == NewTitle) {
        txt_name->setFocus();
    } else if (windowTitle() == EditTitle) {
        txt_name->setText(name_);
        txt_description->setText(description_);
        txt_name->setFocus();
    }
}

void frm_templates::cmd_ok_Click()
{
    txt_name->setText(TrimSpaces(txt_name->text()));
    if (txt_name->text().isEmpty()) {
        prompter_.critical(this, QStringLiteral("Erreur"), QStringLiteral("Nom du projet SVP!"));
        txt_name->setFocus();
        return;
    }
    if (windowTitle() == NewTitle || windowTitle() == EditTitle) {
        if (!save_(txt_name->text(), txt_description->text()))
            return;
    }
    accept();
}

void frm_templates::cmd_cancel_Click()
{
    reject();
}
