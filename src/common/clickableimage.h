#pragma once

#include <QLabel>

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// A picture that reports a left-button click (press and release on it). Given keyboard focus, it
// reports Enter, Return and Space as a click too, and shows a focus frame.
class ClickableImage : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableImage(QWidget *parent = nullptr);
    ~ClickableImage() override;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
