#include "window_helpers.h"

#include "prompter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize area = screen->geometry().size();
    const QSize outer = window->frameGeometry().size();
    const float left = float(area.width()) / 2 - float(outer.width()) / 2;
    const float top = float(area.height()) / 2 - float(outer.height()) / 2;
    window->move(screen->geometry().topLeft() + QPoint(qRound(left), qRound(top)));
}

QString BrowseForFolder(QWidget *owner, const QString &title, Prompter &prompter)
{
    QString path = prompter.existingDirectory(owner, title);
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}
