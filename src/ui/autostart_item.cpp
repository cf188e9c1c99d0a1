#include "autostart_item.h"

#include "autostart_entry.h"
#include "prompter.h"

#include <QCoreApplication>
#include <QMenu>

namespace {

void showEntryState(QAction *item)
{
    item->setChecked(AutostartEnabled(AutostartFile()));
}

} // namespace

QAction *AddAutostartItem(QMenu *menu, Prompter &prompter, QWidget *parent)
{
    QAction *item = menu->addAction(QStringLiteral("Démarrer avec la session"));
    item->setObjectName(QStringLiteral("mnu_autostart"));
    item->setCheckable(true);
    showEntryState(item);
    // The desktop's settings may change the entry meanwhile: read it again each time.
    QObject::connect(menu, &QMenu::aboutToShow, item, [item] { showEntryState(item); });
    QObject::connect(item, &QAction::triggered, item, [item, &prompter, parent](bool checked) {
        const QString file = AutostartFile();
        const QString error = checked
            ? WriteAutostart(file, QCoreApplication::applicationFilePath())
            : RemoveAutostart(file);
        if (!error.isEmpty())
            prompter.critical(parent, QStringLiteral("Erreur"),
                QStringLiteral("Démarrer avec la session : %1.").arg(error));
        showEntryState(item);
    });
    return item;
}
