#include "window_helpers.h"

#include "prompter.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The work area: the screen less the panels, so that no panel covers the window.
    const QRect area = screen->availableGeometry();
    const QSize outer = window->frameGeometry().size();
    const float left = float(area.width()) / 2 - float(outer.width()) / 2;
    const float top = float(area.height()) / 2 - float(outer.height()) / 2;
    window->move(area.topLeft() + QPoint(qRound(left), qRound(top)));
}

void FitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Room for a title bar and borders, which are not known before the window is shown.
    const QSize frame(20, 80);
    const QSize room = screen->availableGeometry().size() - frame;
    window->resize(window->size().boundedTo(room).expandedTo(window->minimumSizeHint()));
}

QString BrowseForFolder(QWidget *owner, const QString &title, Prompter &prompter)
{
    QString path = prompter.existingDirectory(owner, title);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool RefuseEmpty(Prompter &prompter, QWidget *dialog, QLineEdit *box, const QString &message)
{
    if (!box->text().isEmpty())
        return false;
    prompter.critical(dialog, QStringLiteral("Erreur"), message);
    box->setFocus();
    return true;
}

QHBoxLayout *ButtonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}
