#include "navigation_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton *makeButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

NavigationBar::NavigationBar(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , first_(makeButton(QStringLiteral("|◀"), tr("Première action"), this))
    , previous_(makeButton(QStringLiteral("◀"), tr("Action précédente"), this))
    , caption_(new QLabel(caption, this))
    , next_(makeButton(QStringLiteral("▶"), tr("Action suivante"), this))
    , last_(makeButton(QStringLiteral("▶|"), tr("Dernière action"), this))
{
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(first_);
    layout->addWidget(previous_);
    layout->addWidget(caption_, 1);
    layout->addWidget(next_);
    layout->addWidget(last_);
    connect(first_, &QToolButton::clicked, this, &NavigationBar::first);
    connect(previous_, &QToolButton::clicked, this, &NavigationBar::previous);
    connect(next_, &QToolButton::clicked, this, &NavigationBar::next);
    connect(last_, &QToolButton::clicked, this, &NavigationBar::last);
}

void NavigationBar::setCaption(const QString &caption)
{
    caption_->setText(caption);
}
