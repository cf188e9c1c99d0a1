#pragma once

class QCoreApplication;

// The program speaks French whatever the desktop's language: Qt's own French translation
// for the standard buttons ("Oui", "Non", "Annuler") and a French default locale.
void InstallFrenchTranslation(QCoreApplication &app);
