#pragma once

#include "slots/slotpicture.h"

#include <QGroupBox>
#include <QImage>
#include <QPointer>
#include <QRect>

#include <vector>

class FullScreenView;
class QEvent;
class PictureJobQueue;
class PictureSaver;
class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;
class SlotPane;
class StretchImage;
struct SharedState;

// The detail view: the "Viewer" frame (objectName "frmMain") with the picture area, the zoom,
// the slot's particulars in "frmDetails", Save Image and the full-screen view. Hidden until a
// slot is shown in it. The full-size picture is decoded on the picture workers; until it comes
// the slot's small picture stands in for it.
class DetailView : public QGroupBox
{
    Q_OBJECT

public:
    DetailView(SharedState &state, SlotPane *pane, QWidget *parent = nullptr);
    ~DetailView() override;

    // The geometry the main window's layout reads and moves, in pixels, each relative to its
    // container (frmMain: the view itself).
    struct LayoutRects
    {
        QRect frmMain;
        QRect Picture1;
        QRect frmDetails;
        QRect VScroll2;
        QRect HScroll1;
        QRect Command1;
        friend bool operator==(const LayoutRects &, const LayoutRects &) = default;
    };
    LayoutRects layoutRects() const;
    void setLayoutRects(const LayoutRects &rects);

    // Shows slot Index (a click on its picture or its refresh indicator).
    void imgCam_Click(int Index);
    // Sizes the picture by the zoom factor and sets the scroll bars' ranges.
    void ZoomPicture();
    void cmdSave_Click();
    // "History": asks for the detail camera's history window.
    void showHistory();
    void Command3_Click();
    void VScroll2_Change();
    void HScroll1_Change();

    // The detail slot's events, wired by the main window.
    void showFetchStarted(int Index); // a fetch of the detail slot started
    void showReplyPicture(int Index); // a picture reply of the detail slot was loaded
    void showReplyTexts(int Index); // any reply of the detail slot was handled
    void setNextRefreshText(const QString &text); // a tick of the detail slot
    void slotStopped(int Index); // the detail slot was stopped

    // A changed picture of slot Index, to be saved (automatic saving is on).
    void AutoSavePicture(int Index);

    // lblTime, the Internet clock's display.
    void setTimeText(const QString &text);

    qint32 lngPicWidth() const { return m_lngPicWidth; }
    qint32 lngPicHeight() const { return m_lngPicHeight; }
    PictureJobQueue *pictureJobs() const { return m_jobs; }
    PictureSaver *pictureSaver() const { return m_saver; }
    FullScreenView *fullScreenView() const;

signals:
    // A text for the main window's status line.
    void statusText(const QString &text);
    // Shown a slot: an Internet clock query is due.
    void timeQueryDue();
    // The user asked for the saved pictures of slot Index's camera.
    void historyRequested(int Index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void composeDetails();
    // A particular's value label and the text it is to show.
    struct ValueLabel
    {
        QLabel *label;
        QString text;
    };
    // Shows text in the value label whole where it can (see fitValue); its tool tip holds it too.
    void setValueText(QLabel *value, const QString &text);
    void fitValue(const ValueLabel &value);
    // Puts slot Index's current picture into imgMain (and, for a reply, into the full-screen
    // view) once it is decoded in full.
    void loadSlotPicture(int Index, bool reply);
    void applyPicture(int Index, quint64 serial, const QImage &image, bool reply);

    SharedState &m_state;
    SlotPane *m_pane;
    PictureJobQueue *m_jobs = nullptr;
    PictureSaver *m_saver = nullptr;
    QPointer<FullScreenView> m_Form6;

    QWidget *m_Picture1 = nullptr;
    StretchImage *m_imgMain = nullptr;
    QScrollBar *m_VScroll2 = nullptr; // values in pixels, as the slot pane's VScroll1
    QScrollBar *m_HScroll1 = nullptr;
    QPushButton *m_Command1 = nullptr;
    QGroupBox *m_frmDetails = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_Command3 = nullptr;
    QPushButton *m_cmdHistory = nullptr;
    QLabel *m_Label6 = nullptr;
    QSlider *m_Slider1 = nullptr;
    QLabel *m_labelalla = nullptr;
    QLabel *m_lblName = nullptr;
    QLabel *m_lblLastRefreshed = nullptr;
    QLabel *m_lblLastChanged = nullptr;
    QLabel *m_lblTime = nullptr;
    QLabel *m_lblRefresh = nullptr;
    QLabel *m_lblNextRefresh = nullptr;
    std::vector<ValueLabel> m_values; // the six above

    qint32 m_lngPicWidth = 0; // natural size of the picture last shown by imgCam_Click, in twips
    qint32 m_lngPicHeight = 0;
    SlotPicture m_picture; // the picture imgMain shows or is about to show
    QImage m_image; // what imgMain shows: the full picture, or the slot's picture standing in
    quint64 m_imageSerial = 0; // the picture m_image is the full decode of; 0 for a stand-in
    quint64 m_form6Serial = 0; // the picture the full-screen view shows
};
