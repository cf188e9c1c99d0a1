#pragma once

#include <QLabel>

// One of the two images of the scheduler indicator: a clock face, green with the scheduler on,
// red and struck through with it off. A double click asks for the scheduler dialog.
class IndicatorImage : public QLabel {
    Q_OBJECT

public:
    IndicatorImage(bool on, QWidget *parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
