#pragma once

#include <QString>
#include <QtGlobal>

// A project: a row of table Templates.
struct Project {
    qint64 templateNo = 0;
    QString name;
    QString description;
};

// An action: a row of table Actions. Texts are stored as typed; a null column reads as "".
struct Action {
    qint64 actionNo = 0; // the row's own key: addresses the row, never shown or exported
    qint64 templateNo = 0;
    QString description;
    QString enabled; // "OUI" / "NON"
    QString fileFilter;
    QString fromFolder;
    QString toFolder;
    QString inclSub; // "OUI" / "NON"
    QString fileDate; // "", ">" or "<>"
    QString fileSize; // "", ">" or "<>"
    QString op; // column Operator: "", "AND" or "OR"
    // "OUI": a run first moves each destination file it replaces into the destination's
    // versions folder. "NON" in databases and project files made before the choice existed.
    QString keepVersions = QStringLiteral("NON");
};

// A stored flag is true when its upper-cased text is "OUI".
inline bool ReadsAsTrue(const QString &flag)
{
    return flag.toUpper() == QStringLiteral("OUI");
}
