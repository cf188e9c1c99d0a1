#pragma once

#include "prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// A Prompter for tests: records every message and answers from a script.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        QString title, text;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    // Answers for the next message boxes, in order; an unscripted box answers its first button
    // of Yes, Ok.
    QQueue<QMessageBox::StandardButton> answers;
    QList<Shown> shown;
    // The boxes shown since the last look, each as "title|text" (or the title alone); forgets
    // them.
    QStringList said(bool withText = true);
    // Answers for the next file dialogs (save or open), in order; an unscripted one is
    // cancelled.
    QQueue<QString> files;

    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons) override;
    QMessageBox::StandardButton messageWithDefault(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton) override;
    QString existingDirectory(QWidget *, const QString &) override { return {}; } // cancelled
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter, const QString &defaultSuffix) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter) override;
};
