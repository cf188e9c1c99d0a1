#include "frm_about.h"

#include "app_icon.h"
#include "clickable_label.h"
#include "prompter.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace {

const QString appTitle = QStringLiteral("Tandrel");

QLabel *makeLabel(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

ClickableLabel *makeLink(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *link = new ClickableLabel(parent);
    link->setObjectName(objectName);
    link->setTextFormat(Qt::PlainText);
    link->setText(text);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    link->setPalette(palette);
    return link;
}

QUrl mailUrl()
{
    return QUrl(QStringLiteral("mailto:") + MailAddress());
}

} // namespace

frmAbout::frmAbout(Prompter &prompter, UrlOpener open, QWidget *parent)
    : QDialog(parent)
    , prompter_(prompter)
    , open_(std::move(open))
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowTitle(QStringLiteral("A propos ") + appTitle);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(AppIconPixmap(48));
    Image1->setFixedSize(48, 48);

    lblTitle = makeLabel(QStringLiteral("lblTitle"), appTitle, this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() * 2);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel(
        QStringLiteral("lblVersion"), QStringLiteral("Version ") + ProgramVersion(), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Logiciel FREEWARE"), this);
    lblDescription = makeLabel(
        QStringLiteral("lblDescription"), QStringLiteral("Auteur : ") + AuthorName(), this);
    lblDescription->setWordWrap(true);

    Label3 = makeLink(QStringLiteral("Label3"), WebUrl().toString(), this);
    Label3->setToolTip(QStringLiteral("Site web de ") + appTitle);
    lblDisclaimer = makeLink(QStringLiteral("lblDisclaimer"), MailAddress(), this);
    lblDisclaimer->setToolTip(QStringLiteral("Envoyer un courriel"));

    Image2 = new ClickableLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(DonationButtonPixmap());
    Image2->setToolTip(QStringLiteral("Faire un don..."));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&Système Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    Command1 = new QPushButton(QStringLiteral("Détails..."), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    connect(Label3, &ClickableLabel::clicked, this, &frmAbout::Label3_Click);
    connect(lblDisclaimer, &ClickableLabel::clicked, this, &frmAbout::lblDisclaimer_Click);
    connect(Image2, &ClickableLabel::clicked, this, &frmAbout::Image2_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(Label2);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addWidget(Label3, 0, Qt::AlignLeft);
    texts->addWidget(lblDisclaimer, 0, Qt::AlignLeft);
    texts->addSpacing(8);
    texts->addWidget(Image2, 0, Qt::AlignLeft);
    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(Command1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);
    setMinimumWidth(420);
}

void frmAbout::Label3_Click()
{
    open_(WebUrl(), [] {});
}

void frmAbout::lblDisclaimer_Click()
{
    open_(mailUrl(), [] {});
}

void frmAbout::Image2_Click()
{
    OpenDonationPage(open_);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    prompter_.information(this, QStringLiteral("Information système"), SystemInfoText());
}

void frmAbout::Command1_Click()
{
    prompter_.information(this, QStringLiteral("A propos"), DetailsText());
}

QString frmAbout::SystemInfoText()
{
    return QStringLiteral("Système d'exploitation : %1\nNoyau : %2 %3\nProcesseur : %4\nQt : %5")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
            QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion()));
}

QString frmAbout::DetailsText()
{
    const QStringList lines {appTitle + QStringLiteral(" version ") + ProgramVersion(),
        QStringLiteral("Auteur : ") + AuthorName(), QStringLiteral("Courriel : ") + MailAddress(),
        QStringLiteral("Site web : ") + WebUrl().toString(), QString(),
        QStringLiteral("Logiciel FREEWARE")};
    return lines.join(u'\r');
}
