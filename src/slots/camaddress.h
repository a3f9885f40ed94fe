#pragma once

#include "slots/httpprotocol.h"

#include <QString>

// A camera's picture address taken apart for the fetch.
struct CamAddress
{
    QString hostName; // as written, without the port; an IPv6 literal keeps its brackets
    QString requestPath; // from the first "/" to the end, query text included
    quint16 port = HttpProtocol::kDefaultPort;
    QString hostHeader; // the Host line's value: hostName, then ":" and the port when one is given

    // The name or address to connect to: hostName without the brackets of an IPv6 literal.
    QString connectHost() const;
};

struct AddressSplit
{
    enum class Status { Ok, Bad };
    Status status = Status::Bad;
    CamAddress address;
};

// Splits "[http://]host[:port]/path". Only a lowercase "http://" is taken off. Bad when there is
// no "/" after the host, when a port is not a number from 1 to 65535, when an unbracketed host
// holds more than one colon, when a bracketed host is not closed or is followed by anything but
// ":port", and when the address holds a CR or LF (it would split the request). An empty host is
// Ok here; no connection can be made to it.
AddressSplit splitAddress(const QString &address);
