#pragma once

#include <QImage>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// A picture stretched to the widget's size, whatever its aspect ratio, that reports a left-button
// click. Only the part being repainted is scaled, so a large zoomed picture costs no more to
// paint than what is seen of it.
class StretchImage : public QWidget
{
    Q_OBJECT

public:
    explicit StretchImage(QWidget *parent = nullptr);
    ~StretchImage() override;

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_image;
};
