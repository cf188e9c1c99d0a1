#include "frm_action.h"

#include "comic_font.h"
#include "prompter.h"
#include "trim_spaces.h"
#include "window_helpers.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

const QString frm_action::NewTitle = QStringLiteral("Nouvelle action");
const QString frm_action::EditTitle = QStringLiteral("Edition de l'action");

namespace {

const QColor lightGreen(192, 255, 192);
const QColor lightCyan(192, 255, 255);

QLineEdit *makeBox(const QString &objectName, const QColor &background, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(objectName);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
    return box;
}

QCheckBox *makeCheck(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *check = new QCheckBox(caption, parent);
    check->setObjectName(objectName);
    return check;
}

QToolButton *makeBrowseButton(const QString &objectName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(parent->style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(QStringLiteral("Parcourir..."));
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QString flag(const QCheckBox *check)
{
    return check->isChecked() ? QStringLiteral("OUI") : QStringLiteral("NON");
}

// A criterion or the operator: the text of the last ticked box of its pair, else empty.
QString pairText(const QCheckBox *first, const QString &firstText, const QCheckBox *second,
    const QString &secondText)
{
    QString text;
    if (first->isChecked())
        text = firstText;
    if (second->isChecked())
        text = secondText;
    return text;
}

} // namespace

frm_action::frm_action(const Action &action, SaveFunction save, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , action_(action)
    , save_(std::move(save))
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("frm_action"));
    setModal(true);
    setFont(ComicFont());
    buildWindow();
    setTabOrder();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &frm_action::Timer1_Timer);

    connect(chk_datebig, &QCheckBox::toggled, this, &frm_action::chk_datebig_Click);
    connect(chk_datedif, &QCheckBox::toggled, this, &frm_action::chk_datedif_Click);
    connect(chk_sizebig, &QCheckBox::toggled, this, &frm_action::chk_sizebig_Click);
    connect(chk_sizedif, &QCheckBox::toggled, this, &frm_action::chk_sizedif_Click);
    connect(chk_and, &QCheckBox::toggled, this, &frm_action::chk_and_Click);
    connect(chk_or, &QCheckBox::toggled, this, &frm_action::chk_or_Click);
    connect(cmd_browsefrom, &QToolButton::clicked, this, &frm_action::cmd_browsefrom_Click);
    connect(cmd_browseto, &QToolButton::clicked, this, &frm_action::cmd_browseto_Click);
    connect(cmd_ok, &QPushButton::clicked, this, &frm_action::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &frm_action::cmd_cancel_Click);
}

void frm_action::buildWindow()
{
    const QStringList captions {QStringLiteral("Filtre des fichiers :"),
        QStringLiteral("Dossier origine :"), QStringLiteral("Dossier destination :"),
        QStringLiteral("Description :")};
    for (std::size_t i = 0; i < Label5.size(); ++i) {
        Label5[i] = new QLabel(captions[qsizetype(i)], this);
        Label5[i]->setObjectName(QStringLiteral("Label5"));
        QFont bold = Label5[i]->font();
        bold.setBold(true);
        Label5[i]->setFont(bold);
    }

    txt_filter = makeBox(QStringLiteral("txt_filter"), lightGreen, this);
    QFont filterFont = txt_filter->font();
    filterFont.setBold(true);
    filterFont.setPointSize(12);
    txt_filter->setFont(filterFont);
    txt_filter->setMaximumWidth(220);
    txt_folderfrom = makeBox(QStringLiteral("txt_folderfrom"), lightCyan, this);
    txt_folderto = makeBox(QStringLiteral("txt_folderto"), lightCyan, this);
    txt_description = makeBox(QStringLiteral("txt_description"), lightCyan, this);
    cmd_browsefrom = makeBrowseButton(QStringLiteral("cmd_browsefrom"), this);
    cmd_browseto = makeBrowseButton(QStringLiteral("cmd_browseto"), this);

    chk_enabled = makeCheck(QStringLiteral("chk_enabled"), QStringLiteral("Activé"), this);
    chk_includesubfolders = makeCheck(
        QStringLiteral("chk_includesubfolders"), QStringLiteral("Inclure les sous-dossiers"), this);
    chk_keepversions = makeCheck(QStringLiteral("chk_keepversions"),
        QStringLiteral("Conserver les versions remplacées"), this);
    chk_keepversions->setToolTip(QStringLiteral(
        "Un fichier remplacé dans la destination est d'abord déplacé dans .tandrel-versions"));
    chk_datebig = makeCheck(QStringLiteral("chk_datebig"), QStringLiteral("Date >"), this);
    chk_datebig->setToolTip(QStringLiteral("Date supérieure"));
    chk_datedif = makeCheck(QStringLiteral("chk_datedif"), QStringLiteral("Date <>"), this);
    chk_datedif->setToolTip(QStringLiteral("date différente"));
    chk_sizebig = makeCheck(QStringLiteral("chk_sizebig"), QStringLiteral("Taille >"), this);
    chk_sizebig->setToolTip(QStringLiteral("Taille supérieure"));
    chk_sizedif = makeCheck(QStringLiteral("chk_sizedif"), QStringLiteral("Taille <>"), this);
    chk_sizedif->setToolTip(QStringLiteral("Taille différente"));
    chk_and = makeCheck(QStringLiteral("chk_and"), QStringLiteral("And"), this);
    chk_or = makeCheck(QStringLiteral("chk_or"), QStringLiteral("Or"), this);

    cmd_ok = new QPushButton(QStringLiteral("OK"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));

    auto *Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    // Top row: the filter, the two flags, then the criteria ("<>" above ">", date left of size).
    auto *filter = new QVBoxLayout;
    filter->addWidget(Label5[0]);
    filter->addWidget(txt_filter);
    filter->addStretch(1);
    auto *flags = new QVBoxLayout;
    flags->addWidget(chk_enabled);
    flags->addWidget(chk_includesubfolders);
    flags->addWidget(chk_keepversions);
    flags->addStretch(1);
    auto *criteria = new QGridLayout;
    criteria->addWidget(chk_datedif, 0, 0);
    criteria->addWidget(chk_datebig, 1, 0);
    criteria->addWidget(chk_sizedif, 0, 1);
    criteria->addWidget(chk_sizebig, 1, 1);
    criteria->setHorizontalSpacing(16);
    auto *top = new QHBoxLayout;
    top->addLayout(filter);
    top->addSpacing(12);
    top->addLayout(flags);
    top->addStretch(1);
    top->addLayout(criteria);

    auto *folders = new QGridLayout;
    folders->addWidget(Label5[1], 0, 0, 1, 2);
    folders->addWidget(txt_folderfrom, 1, 0);
    folders->addWidget(cmd_browsefrom, 1, 1);
    folders->addWidget(Label5[2], 2, 0, 1, 2);
    folders->addWidget(txt_folderto, 3, 0);
    folders->addWidget(cmd_browseto, 3, 1);
    folders->addWidget(Label5[3], 4, 0, 1, 2);
    folders->addWidget(txt_description, 5, 0);
    folders->setVerticalSpacing(4);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmd_ok);
    buttons->addWidget(cmd_cancel);
    buttons->addSpacing(24);
    buttons->addWidget(chk_and);
    buttons->addWidget(chk_or);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(folders);
    layout->addSpacing(6);
    layout->addWidget(Line1);
    layout->addLayout(buttons);
    setMinimumWidth(560);
}

void frm_action::setTabOrder()
{
    QWidget *const order[] = {txt_filter, txt_folderfrom, txt_folderto, txt_description, cmd_ok,
        cmd_cancel, chk_enabled, chk_datedif, chk_datebig, chk_sizedif, chk_sizebig, cmd_browsefrom,
        cmd_browseto, chk_and, chk_or, chk_includesubfolders, chk_keepversions};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frm_action::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void frm_action::keyPressEvent(QKeyEvent *event)
{
    // No button answers ESC.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frm_action::Form_Load()
{
    CenterForm(this);
    Timer1->start();
}

void frm_action::Timer1_Timer()
{
    Timer1->stop();
    if (windowTitle() == NewTitle) {
        chk_enabled->setChecked(true);
        chk_datebig->setChecked(true);
        chk_sizedif->setChecked(true);
        chk_or->setChecked(true);
        txt_filter->setText(QStringLiteral("*.*"));
        txt_filter->setFocus();
    } else if (windowTitle() == EditTitle) {
        chk_enabled->setChecked(ReadsAsTrue(action_.enabled));
        txt_filter->setText(action_.fileFilter);
        txt_folderfrom->setText(action_.fromFolder);
        txt_folderto->setText(action_.toFolder);
        txt_description->setText(action_.description);
        chk_includesubfolders->setChecked(ReadsAsTrue(action_.inclSub));
        chk_keepversions->setChecked(ReadsAsTrue(action_.keepVersions));
        if (action_.fileDate == QStringLiteral(">"))
            chk_datebig->setChecked(true);
        if (action_.fileDate == QStringLiteral("<>"))
            chk_datedif->setChecked(true);
        if (action_.fileSize == QStringLiteral(">"))
            chk_sizebig->setChecked(true);
        if (action_.fileSize == QStringLiteral("<>"))
            chk_sizedif->setChecked(true);
        if (action_.op == QStringLiteral("AND"))
            chk_and->setChecked(true);
        if (action_.op == QStringLiteral("OR"))
            chk_or->setChecked(true);
    }
}

void frm_action::pairRule(QCheckBox *changed, QCheckBox *other, bool checked, bool mayBeEmpty)
{
    if (checked)
        other->setChecked(false);
    else if (!mayBeEmpty && !other->isChecked())
        changed->setChecked(true);
}

void frm_action::chk_datebig_Click(bool checked)
{
    pairRule(chk_datebig, chk_datedif, checked, false);
}

void frm_action::chk_datedif_Click(bool checked)
{
    pairRule(chk_datedif, chk_datebig, checked, false);
}

void frm_action::chk_sizebig_Click(bool checked)
{
    pairRule(chk_sizebig, chk_sizedif, checked, false);
}

void frm_action::chk_sizedif_Click(bool checked)
{
    pairRule(chk_sizedif, chk_sizebig, checked, false);
}

void frm_action::chk_and_Click(bool checked)
{
    pairRule(chk_and, chk_or, checked, true);
}

void frm_action::chk_or_Click(bool checked)
{
    pairRule(chk_or, chk_and, checked, true);
}

void frm_action::cmd_browsefrom_Click()
{
    const QString folder
        = BrowseForFolder(this, QStringLiteral("Sélectionner le dossier origine"), prompter_);
    if (!folder.isEmpty())
        txt_folderfrom->setText(folder);
}

void frm_action::cmd_browseto_Click()
{
    const QString folder
        = BrowseForFolder(this, QStringLiteral("Sélectionner le dossier destination"), prompter_);
    if (!folder.isEmpty())
        txt_folderto->setText(folder);
}

void frm_action::cmd_ok_Click()
{
    for (QLineEdit *box : {txt_filter, txt_folderfrom, txt_folderto})
        box->setText(TrimSpaces(box->text()));
    if (RefuseEmpty(prompter_, this, txt_filter,
            QStringLiteral("Entrez un filtre de sélection de fichiers SVP!"))
        || RefuseEmpty(
            prompter_, this, txt_folderfrom, QStringLiteral("Sélectionnez le dossier origine SVP!"))
        || RefuseEmpty(prompter_, this, txt_folderto,
            QStringLiteral("Sélectionnez le dossier destination SVP!")))
        return;

    if (!chk_datebig->isChecked() && !chk_datedif->isChecked() && !chk_sizebig->isChecked()
        && !chk_sizedif->isChecked()) {
        chk_and->setChecked(false);
        chk_or->setChecked(false);
    } else if (!chk_and->isChecked() && !chk_or->isChecked()) {
        chk_or->setChecked(true);
        chk_and->setChecked(false);
    }

    if (windowTitle() == NewTitle || windowTitle() == EditTitle) {
        if (!save_(editedAction()))
            return;
    }
    accept();
}

Action frm_action::editedAction() const
{
    Action action;
    action.actionNo = action_.actionNo;
    action.templateNo = action_.templateNo;
    action.enabled = flag(chk_enabled);
    action.fileFilter = txt_filter->text();
    action.fromFolder = txt_folderfrom->text();
    action.toFolder = txt_folderto->text();
    action.description = txt_description->text();
    action.inclSub = flag(chk_includesubfolders);
    action.keepVersions = flag(chk_keepversions);
    action.fileDate = pairText(chk_datebig, QStringLiteral(">"), chk_datedif, QStringLiteral("<>"));
    action.fileSize = pairText(chk_sizebig, QStringLiteral(">"), chk_sizedif, QStringLiteral("<>"));
    action.op = pairText(chk_and, QStringLiteral("AND"), chk_or, QStringLiteral("OR"));
    return action;
}

void frm_action::cmd_cancel_Click()
{
    reject();
}
