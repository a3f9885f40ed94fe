#pragma once

#include "slots/camaddress.h"
#include "slots/headerendscanner.h"
#include "slots/slotpicture.h"

#include <QByteArray>
#include <QGroupBox>
#include <QString>

class ClickableImage;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTcpSocket;
class QTimer;
class QToolButton;

// One of the 24 viewing slots: its frame (objectName "Frame", caption "[WebCam]" at first) with
// every per-slot control, and the per-slot variables of the fetch. Controls carry their names as
// objectName, unique within the frame. The fetch logic lives in SlotPane; a slot is its record.
class CameraSlot : public QGroupBox
{
    Q_OBJECT

public:
    CameraSlot(qint16 Index, QWidget *parent = nullptr);
    ~CameraSlot() override;

    qint16 index() const { return m_index; }

    // The picture the slot shows (imgCam); setting it updates imgCam.
    const SlotPicture &picture() const { return m_picture; }
    void setPicture(SlotPicture picture);

    // Controls (owned by the frame).
    ClickableImage *imgCam = nullptr;
    ClickableImage *imgRefresh = nullptr;
    QProgressBar *prgCam = nullptr;
    QToolButton *cmdRefresh = nullptr;
    QToolButton *cmdStop = nullptr;
    QPushButton *cmdStart = nullptr;
    QLineEdit *txtName = nullptr;
    QLineEdit *txtAddress = nullptr;
    QLineEdit *txtRefresh = nullptr;
    QLineEdit *txtUpdated = nullptr;
    QLineEdit *txtRefreshed = nullptr;
    QTimer *timRefresh = nullptr;
    QTcpSocket *wsCam = nullptr; // the current fetch's socket; null between fetches

    // Per-slot variables of the fetch.
    QString hostName;
    QString requestPath;
    QByteArray replyBuffer;
    qint32 bytesReceived = 0;
    bool headerDone = false;
    qint32 contentLength = 0;
    QString lastModified;
    bool pictureChanged = false;
    qint32 refreshSeconds = 30; // kept when a refresh text cannot be read; 30 matches txtRefresh's first text
    qint32 elapsedSeconds = 0;

private:
    qint16 m_index;
    SlotPicture m_picture;
    quint16 m_port = CamAddress::kDefaultPort; // port of the current fetch
    QString m_hostHeader; // Host line value of the current fetch
    HeaderEndScanner m_headerScan; // header-end search of the current reply

    friend class SlotPane;
};
