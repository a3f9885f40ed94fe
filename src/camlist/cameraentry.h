#pragma once

#include <QString>

// One camera of the list, all three fields exactly as typed (no trimming, no conversion).
struct CameraEntry
{
    QString name;
    QString address;
    QString refresh;
};
