#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box and every file or folder dialog of the program goes through a Prompter,
// so that tests can answer them.
class Prompter {
public:
    enum class Icon { Information, Question, Warning, Critical };

    virtual ~Prompter() = default;

    // Shows a modal message box and returns the button that closed it.
    virtual QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons)
        = 0;
    // The same with defaultButton pressed by Enter; by default the box's own choice.
    virtual QMessageBox::StandardButton messageWithDefault(QWidget *parent, Icon icon,
        const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton);
    // Asks for an existing folder; empty when cancelled.
    virtual QString existingDirectory(QWidget *parent, const QString &title) = 0;
    // Asks for a file to write, starting in folder with fileName proposed; defaultSuffix is
    // added to a name typed without extension. Empty when cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter, const QString &defaultSuffix)
        = 0;
    // Asks for an existing file to read, starting in folder; empty when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter)
        = 0;

    // Stop icon, one OK button.
    void critical(QWidget *parent, const QString &title, const QString &text);
    // Information icon, one OK button.
    void information(QWidget *parent, const QString &title, const QString &text);
    // Question icon with Yes and No: true on Yes.
    bool question(QWidget *parent, const QString &title, const QString &text);
    // The same, with No as the default button: for what cannot be undone.
    bool confirmDeletion(QWidget *parent, const QString &title, const QString &text);
};

// The Prompter of the running program: real Qt dialogs.
class WidgetPrompter final : public Prompter {
public:
    QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons) override;
    QMessageBox::StandardButton messageWithDefault(QWidget *parent, Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton) override;
    QString existingDirectory(QWidget *parent, const QString &title) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter, const QString &defaultSuffix) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
        const QString &fileName, const QString &filter) override;
};
