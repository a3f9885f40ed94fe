#pragma once

#include <QByteArray>

// One camera of the list: name, picture address and refresh period in seconds, each exactly the
// bytes of its line in the list file (8-bit text in the system's encoding, as typed: no trimming,
// no conversion). Decode only to show a field; a name is looked up by its bytes.
struct CameraEntry
{
    QByteArray name;
    QByteArray address;
    QByteArray refresh;
};
