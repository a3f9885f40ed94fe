#pragma once

#include "views/wallgrid.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// One camera on the wall (objectName "wallTile"): its picture at the picture's own aspect ratio,
// the camera's name under it, a thin progress line along the picture's lower edge while a fetch
// runs, and the slot's fetch outcome as tool tip and dimming (written in place of a picture that
// never came). A left click reports the slot.
class WallTile : public QWidget
{
    Q_OBJECT

public:
    explicit WallTile(int Index, QWidget *parent = nullptr);
    ~WallTile() override;

    int slotIndex() const { return m_index; }

    // The room a tile of this font gives besides its picture.
    static WallTileSpace space(const QFontMetrics &metrics);
    // The box the picture is shown in, in the tile's pixels.
    QRect pictureBox() const;

    void setName(const QString &name);
    QString name() const { return m_name; }
    // image drawn at the aspect ratio of natural (a stand-in of another size is scaled); serial
    // tells which picture it is, decodedFor the box of device pixels it was decoded for (empty
    // for a stand-in).
    void setPicture(const QImage &image, const QSize &natural, quint64 serial, const QSize &decodedFor);
    const QImage &image() const { return m_image; }
    quint64 serial() const { return m_serial; }
    QSize decodedFor() const { return m_decodedFor; }
    void setOutcome(const QString &note, bool dimmed);
    bool isDimmed() const { return m_dimmed; }
    void setProgress(int value, bool fetching);
    int progress() const { return m_progress; }
    bool isFetching() const { return m_fetching; }

signals:
    void clicked(int Index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect pictureRect() const;
    QRect progressRect() const; // the whole line, as long as the picture is wide

    int m_index;
    QString m_name;
    QImage m_image;
    QSize m_natural;
    quint64 m_serial = 0;
    QSize m_decodedFor;
    bool m_dimmed = false;
    bool m_fetching = false;
    int m_progress = 0;
};
