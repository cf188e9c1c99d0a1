#include "scripted_prompter.h"

QMessageBox::StandardButton ScriptedPrompter::message(QWidget *, Icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons)
{
    shown.append({title, text});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
}

QMessageBox::StandardButton ScriptedPrompter::messageWithDefault(QWidget *parent, Icon icon,
    const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    const QMessageBox::StandardButton answer = message(parent, icon, title, text, buttons);
    shown.last().defaultButton = defaultButton;
    return answer;
}

QString ScriptedPrompter::saveFileName(QWidget *, const QString &, const QString &,
    const QString &, const QString &, const QString &)
{
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompter::openFileName(
    QWidget *, const QString &, const QString &, const QString &, const QString &)
{
    return files.isEmpty() ? QString() : files.dequeue();
}

QStringList ScriptedPrompter::said(bool withText)
{
    QStringList texts;
    for (const Shown &box : std::as_const(shown))
        texts << (withText ? box.title + u'|' + box.text : box.title);
    shown.clear();
    return texts;
}
