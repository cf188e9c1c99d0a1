#pragma once

class Prompter;
class QAction;
class QMenu;
class QWidget;

// Adds "Démarrer avec la session" to menu: a checkable item, checked while the session starts
// Tandrel. Checking it writes the session's autostart entry (Tandrel minimised to the tray),
// unchecking removes it; an entry the user edited is left alone until then. A failure shows
// the error box, and the item keeps showing what the entry is.
QAction *AddAutostartItem(QMenu *menu, Prompter &prompter, QWidget *parent);
