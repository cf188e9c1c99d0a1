#pragma once

#include <QLabel>

// A label (text or picture) that acts as a link: pointing-hand cursor, clicked() on a left click.
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
