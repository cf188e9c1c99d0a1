#include "scripted_prompter.h"

QMessageBox::StandardButton ScriptedPrompter::message(QWidget *, Icon icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons)
{
    shown.append({icon, title, text, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
}

QString ScriptedPrompter::existingDirectory(QWidget *, const QString &title)
{
    folderTitles.append(title);
    return folders.isEmpty() ? QString() : folders.dequeue();
}
