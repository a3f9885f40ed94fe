#pragma once

#include "slots/slotchange.h"
#include "slots/slotpicture.h"

#include <QGroupBox>
#include <QString>

class ClickableImage;
class QLineEdit;
class QPixmap;
class QGraphicsOpacityEffect;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class SlotDecoder;
class SlotFetch;

// One of the 24 viewing slots: its frame (objectName "Frame", caption "[WebCam]" at first) with
// every per-slot control, the slot's fetch and the per-slot variables. Controls carry their names
// as objectName, unique within the frame. The handlers live in SlotPane; a slot is its record.
class CameraSlot : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr qreal kDimmedOpacity = 0.55; // a stale picture, still easy to make out

    CameraSlot(qint16 Index, QWidget *parent = nullptr);
    ~CameraSlot() override;

    qint16 index() const { return m_index; }

    // The camera texts kept in the slot's hidden fields.
    QString name() const; // txtName
    QString address() const; // txtAddress
    QString refreshText() const; // txtRefresh
    QString updatedText() const; // txtUpdated: what followed "Last-Modified:", leading space kept
    QString refreshedText() const; // txtRefreshed: when the slot last saw a new picture
    void setCamera(const QString &name, const QString &address, const QString &refreshText);
    void setUpdatedText(const QString &text);
    void setRefreshedText(const QString &text);

    // The refresh indicator (imgRefresh) over the picture.
    bool isIndicatorShown() const;
    void setIndicatorShown(bool shown);
    void raiseIndicator();
    void setIndicatorPicture(const QPixmap &picture);

    int progress() const; // prgCam, 0 to 100
    void setProgress(int value);

    // The one-second tick (timRefresh). Precise, and started when a fetch starts, so each slot
    // keeps its own phase and the slots' fetches do not bunch.
    void startRefreshTimer();
    void stopRefreshTimer();
    bool isRefreshTimerActive() const;

    // Suspends (true) or resumes (false) the drawing of the slot's picture.
    void lockPicture(bool lock);

    SlotFetch *fetch() const { return m_fetch; } // wsCam
    SlotDecoder *decoder() const { return m_decoder; }

    // The last fetch's outcome, with the local time, as the tool tip and accessible description of
    // the picture and of the refresh indicator over it. A failure counts one more in a row and dims the
    // picture (it stays visible); a success ends the row.
    void setFetchOutcome(const QString &outcomeText, bool failed);
    void clearFetchOutcome();
    QString fetchNote() const { return m_fetchNote; }
    int failuresInRow() const { return m_failuresInRow; }

    // The picture the slot shows (imgCam); setting it updates imgCam.
    const SlotPicture &picture() const { return m_picture; }
    void setPicture(SlotPicture picture);
    QSize pictureSize() const;
    // imgCam's size in device pixels on its screen, what a reply's picture is decoded to; at a
    // device pixel ratio of 1 that is pictureSize().
    QSize decodeSize() const;

    // Per-slot variables of the fetch.
    QString lastModified;
    bool pictureChanged = false;
    qint32 refreshSeconds = 30; // kept when a refresh text cannot be read; 30 matches txtRefresh's first text
    qint32 elapsedSeconds = 0;
    // The body and thumbnail of the last picture the slot's camera gave it: what a reply without
    // a "Last-Modified:" line is compared with. Cleared when the slot is stopped or opens a camera.
    QByteArray previousBody;
    QImage previousThumbnail;

signals:
    void pictureClicked(); // imgCam
    void indicatorClicked(); // imgRefresh
    void refreshClicked(); // cmdRefresh
    void stopClicked(); // cmdStop
    void startClicked(); // cmdStart
    void timerTicked(); // timRefresh
    // The camera texts, the picture, the progress, the indicator or the outcome changed.
    void changed(SlotChange what);

private:
    // The picture's tool tip and accessible description, and the indicator's over it.
    void showNote(const QString &toolTip, const QString &description);

    qint16 m_index;
    SlotPicture m_picture;
    ClickableImage *m_imgCam = nullptr;
    ClickableImage *m_imgRefresh = nullptr;
    QProgressBar *m_prgCam = nullptr;
    QToolButton *m_cmdRefresh = nullptr;
    QToolButton *m_cmdStop = nullptr;
    QPushButton *m_cmdStart = nullptr;
    QLineEdit *m_txtName = nullptr;
    QLineEdit *m_txtAddress = nullptr;
    QLineEdit *m_txtRefresh = nullptr;
    QLineEdit *m_txtUpdated = nullptr;
    QLineEdit *m_txtRefreshed = nullptr;
    QTimer *m_timRefresh = nullptr;
    SlotFetch *m_fetch = nullptr;
    SlotDecoder *m_decoder = nullptr;
    QGraphicsOpacityEffect *m_dimmed = nullptr; // on imgCam, enabled after a failed fetch
    QString m_fetchNote;
    int m_failuresInRow = 0;
};
