#include "frm_question.h"

#include "comic_font.h"
#include "window_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

frm_question::frm_question(bool &showAllInReport, QWidget *parent)
    : QDialog(parent)
    , showAllInReport_(showAllInReport)
{
    setObjectName(QStringLiteral("frm_question"));
    setWindowTitle(QStringLiteral("Synchronisation"));
    setModal(true);
    setFont(ComicFont());

    auto *Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    Label1 = new QLabel(
        QStringLiteral("Confirmez la synchronisation des fichiers avec les actions définies ?"),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto *Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    chk_showallinreport = new QCheckBox(
        QStringLiteral("Inclure les noms de fichiers copiés dans un rapport"), this);
    chk_showallinreport->setObjectName(QStringLiteral("chk_showallinreport"));

    cmd_ok = new QPushButton(QStringLiteral("OK"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    connect(cmd_ok, &QPushButton::clicked, this, &frm_question::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &frm_question::cmd_cancel_Click);

    auto *question = new QHBoxLayout;
    question->addWidget(Image1, 0, Qt::AlignTop);
    question->addWidget(Label1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(question);
    layout->addWidget(Line1);
    layout->addWidget(chk_showallinreport);
    layout->addLayout(ButtonRow(cmd_ok, cmd_cancel));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frm_question::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Load();
}

void frm_question::Form_Load()
{
    adjustSize();
    CenterForm(this);
    QApplication::beep();
    // The option is never remembered: it is off at every opening.
    chk_showallinreport->setChecked(false);
}

void frm_question::cmd_ok_Click()
{
    showAllInReport_ = chk_showallinreport->isChecked();
    accept();
}

void frm_question::cmd_cancel_Click()
{
    reject();
}
