#pragma once

#include <QDateTime>
#include <QString>

// What a saved picture tells of itself: the camera it came from, the camera's picture address
// (never with a user name or password), and the moment its reply was received, with the UTC
// offset of that moment.
struct PictureInfo
{
    QString cameraName;
    QString address;
    QDateTime received;
};
