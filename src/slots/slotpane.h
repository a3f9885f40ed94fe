#pragma once

#include "slots/changedetection.h"
#include "slots/slotchange.h"
#include "slots/slotpicture.h"

#include <QGroupBox>
#include <QPixmap>

#include <array>
#include <memory>
#include <optional>

class CameraSlot;
class QScrollBar;
class QWheelEvent;
class ReplyBudget;
class SlotPicture;
class QWidget;
struct FetchOutcome;
struct SharedState;

// The "Webcams" frame (objectName "frmCams"): the scrollable pane of the 24 camera slots and
// the slot handlers. Effects outside the slots (detail view, full-screen view, auto-save, clock)
// are signals; whoever composes the main window connects them.
class SlotPane : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kSlotCount = 24;

    explicit SlotPane(SharedState &state, QWidget *parent = nullptr);
    ~SlotPane() override;

    CameraSlot *slot(int Index) const;
    SharedState &state() const { return m_state; }

    // The pane's window (picWindowOuter) and its scroll bar (VScroll1), as the main window's layout
    // reads and fits them.
    QRect windowGeometry() const;
    QRect scrollBarGeometry() const;
    void setWindowGeometry(const QRect &window, const QRect &scrollBar);

    // What the views read of a slot.
    const SlotPicture &picture(int Index) const;
    QString camName(int Index) const; // txtName
    QString frameCaption(int Index) const; // the frame's caption
    QString refreshText(int Index) const; // txtRefresh
    QString updatedText(int Index) const; // txtUpdated
    QString refreshedText(int Index) const; // txtRefreshed
    // The "Next Refresh" countdown as the slot's tick would show it now.
    QString countdownText(int Index) const;
    // The slot shows this picture from now on (auto-save's picture as saved).
    void showSavedPicture(int Index, SlotPicture picture);

    // Gives every slot's refresh indicator this picture (start-up does it under LockWindow).
    void setRefreshPicture(const QPixmap &picture);

    // What the list commands and the edit dialog ask of the slots.
    // The lowest-numbered free slot (frame hidden), or -1 when all 24 hold a camera.
    int firstFreeSlot() const;
    // Some slot's frame caption equals name, letter case included; free slots count too.
    bool isNameOpen(const QString &name) const;
    // Shows the slot's frame, gives it the camera's texts and starts its first fetch.
    void loadCam(qint16 Index, const QString &name, const QString &address, const QString &refreshText);
    // Every shown slot whose caption is openName takes the new texts and caption; none refetches.
    void updateOpenCam(const QString &openName, const QString &name, const QString &address,
                       const QString &refreshText);

    // Another view shows slot Index's picture in a box of this many device pixels (empty: none
    // does); the slot's replies are decoded for that view too, once each.
    void setViewBox(int Index, const QSize &box);
    // The sizes a reply of slot Index is decoded to.
    PictureSizes decodeSizes(qint16 Index) const;

    // Pictures are decoded on the picture workers and the rest of a reply's handling runs when the
    // picture is back; with inline decoding the whole reply is handled at the server's close.
    void setInlineDecoding(bool inlineDecoding);

    // How the slots tell a new picture from a reply without a "Last-Modified:" line (Off: they
    // do not); from the next reply on.
    void setChangeDetection(ChangeDetection detection) { m_changeDetection = detection; }
    ChangeDetection changeDetection() const { return m_changeDetection; }

    // What the replies in flight of all slots may hold together.
    ReplyBudget &replyBudget() const { return *m_replyBudget; }

    // Slot handlers. Index is the slot index 0..23; callers make sure it is in range.
    void cmdStart_Click(qint16 Index);
    void wsCam_Connect(qint16 Index);
    void wsCam_DataArrival(qint16 Index, qint32 bytesTotal);
    void wsCam_Close(qint16 Index);
    // The fetch ended without a reply to handle (no connection, no answer, refused certificate...).
    void wsCam_Error(qint16 Index, const FetchOutcome &outcome);
    void timRefresh_Timer(qint16 Index);
    void cmdRefresh_Click(qint16 Index);
    void imgRefresh_Click(qint16 Index);
    void cmdStop_Click(qint16 Index);
    void cmdStopAll_Click();
    void VScroll1_Change();

signals:
    // A slot's picture or refresh indicator was clicked: show that slot in the detail view.
    void imgCam_Click(int Index);
    // A fetch of the detail slot started while the full-screen view is open.
    void detailFetchStarted(int Index);
    // A picture reply of the detail slot was loaded; the views take the slot's picture.
    void detailPictureLoaded(int Index);
    // A changed picture was loaded into a slot (auto-save runs when it is on).
    void changedPictureLoaded(int Index);
    // Any reply of the detail slot was handled: the views copy the slot's texts.
    void detailReplyHandled(int Index);
    // A timer tick of the detail slot: the countdown text to show, then a clock query is due.
    void detailTick(int Index, const QString &nextRefreshText);
    // The detail slot was stopped; intDetailSlot is -1 now.
    void detailSlotStopped(int Index);
    // Any slot finished handling a reply (picture or not).
    void replyHandled(int Index);
    // A fetch of the detail slot failed; text names the camera and says how, with the network
    // library's own words when it had any ("Garden: certificate expired (...)").
    void detailFetchFailed(int Index, const QString &text);
    // Something a view following every open slot shows changed in slot Index.
    void slotChanged(int Index, SlotChange what);

protected:
    // The wheel anywhere over the pane turns its scroll bar.
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectSlot(CameraSlot *cameraSlot);
    // Moves the pane so that the slot holding focused is in sight, when it holds it.
    void scrollToShow(QWidget *focused);
    // The handling of a reply after its picture was decoded (or was no picture to decode).
    // fetch is the fetch the reply ended: when a later one runs meanwhile, its indicator stays.
    void completeReply(qint16 Index, quint64 fetch, const QByteArray &headerBlock,
                       std::optional<SlotPicture> picture);
    void reportOutcome(qint16 Index, const FetchOutcome &outcome);
    // Whether a loaded picture is new, and why; stamps and stores the slot's dates and keeps the
    // picture's body and thumbnail for the next reply.
    ChangeReason judgeChange(CameraSlot *s, const QByteArray &headerBlock, const SlotPicture &picture);

    SharedState &m_state;
    QWidget *m_picWindowOuter = nullptr;
    QWidget *m_picWindowInner = nullptr;
    QScrollBar *m_VScroll1 = nullptr;
    std::array<CameraSlot *, kSlotCount> m_slots{};
    std::unique_ptr<ReplyBudget> m_replyBudget;
    std::array<QSize, kSlotCount> m_viewBoxes{};
    ChangeDetection m_changeDetection = ChangeDetection::Off;
};
