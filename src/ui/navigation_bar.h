#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The browser's navigation bar: first, previous, a caption, next, last.
class NavigationBar : public QWidget {
    Q_OBJECT

public:
    explicit NavigationBar(const QString &caption, QWidget *parent = nullptr);

    QToolButton *firstButton() const { return first_; }
    QToolButton *previousButton() const { return previous_; }
    QToolButton *nextButton() const { return next_; }
    QToolButton *lastButton() const { return last_; }
    void setCaption(const QString &caption);

signals:
    void first();
    void previous();
    void next();
    void last();

private:
    QToolButton *first_;
    QToolButton *previous_;
    QLabel *caption_;
    QToolButton *next_;
    QToolButton *last_;
};
