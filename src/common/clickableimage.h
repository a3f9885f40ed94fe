#pragma once

#include <QLabel>

class QMouseEvent;

// A picture that reports a left-button click (press and release on it).
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
};
