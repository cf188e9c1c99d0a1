#include "prompter.h"

#include <QFileDialog>

void Prompter::critical(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, Icon::Critical, title, text, QMessageBox::Ok);
}

void Prompter::information(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, Icon::Information, title, text, QMessageBox::Ok);
}

bool Prompter::question(QWidget *parent, const QString &title, const QString &text)
{
    return message(parent, Icon::Question, title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

QMessageBox::StandardButton Prompter::messageWithDefault(QWidget *parent, Icon icon,
    const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton)
{
    return message(parent, icon, title, text, buttons);
}

bool Prompter::confirmDeletion(QWidget *parent, const QString &title, const QString &text)
{
    return messageWithDefault(parent, Icon::Question, title, text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

namespace {

QMessageBox::Icon toQt(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        break;
    }
    return QMessageBox::Critical;
}

} // namespace

QMessageBox::StandardButton WidgetPrompter::message(QWidget *parent, Icon icon,
    const QString &title, const QString &text, QMessageBox::StandardButtons buttons)
{
    return messageWithDefault(parent, icon, title, text, buttons, QMessageBox::NoButton);
}

QMessageBox::StandardButton WidgetPrompter::messageWithDefault(QWidget *parent, Icon icon,
    const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(toQt(icon), title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

QString WidgetPrompter::existingDirectory(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

namespace {

QString askFile(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title,
    const QString &folder, const QString &fileName, const QString &filter,
    const QString &defaultSuffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(
        mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // A pattern such as "*.TDRL" only narrows the list: the filter does that already.
    if (!fileName.contains(u'*'))
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString WidgetPrompter::saveFileName(QWidget *parent, const QString &title, const QString &folder,
    const QString &fileName, const QString &filter, const QString &defaultSuffix)
{
    return askFile(parent, QFileDialog::AcceptSave, title, folder, fileName, filter, defaultSuffix);
}

QString WidgetPrompter::openFileName(QWidget *parent, const QString &title, const QString &folder,
    const QString &fileName, const QString &filter)
{
    return askFile(parent, QFileDialog::AcceptOpen, title, folder, fileName, filter, {});
}
