#pragma once

#include <QImage>
#include <QWidget>

class QPaintEvent;

// A saved picture shown as large as the widget allows with its aspect ratio kept, centred on
// black; or, in place of a picture, a short text ("cannot be read").
class HistoryPictureView : public QWidget
{
    Q_OBJECT

public:
    explicit HistoryPictureView(QWidget *parent = nullptr);
    ~HistoryPictureView() override;

    const QImage &image() const { return m_image; }
    QString text() const { return m_text; }
    void setImage(const QImage &image);
    void setText(const QString &text);
    // The size in device pixels a picture is best decoded at for this widget.
    QSize pixelSize() const;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_image;
    QString m_text;
};
