#pragma once

#include <QtGlobal>

// The main window's state that the slots, the list commands and the views share.
struct SharedState
{
    qint16 intDetailSlot = 0; // slot shown in the detail view; -1 once that slot was stopped
    bool blnFullScreen = false; // the full-screen view is open
    qint16 intOpenCams = 0; // slots that hold a camera
};
