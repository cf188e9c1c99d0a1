#pragma once

#include "prompter.h"

#include <QList>
#include <QQueue>

// A Prompter for tests: records every message and answers from a script.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    // Answers for the next message boxes, in order; an unscripted box answers its first button
    // of Yes, Ok.
    QQueue<QMessageBox::StandardButton> answers;
    // Answers for the next folder pickers, in order; an unscripted picker is cancelled.
    QQueue<QString> folders;
    QList<Shown> shown;
    QList<QString> folderTitles;

    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons) override;
    QString existingDirectory(QWidget *parent, const QString &title) override;
};
