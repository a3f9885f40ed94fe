#pragma once

#include "slots/httpprotocol.h"

#include <QString>

// A camera's picture address taken apart for the fetch.
struct CamAddress
{
    bool secure = false; // "https://" in any letter case: TLS, default port 443
    QString hostName; // as written, without the port; an IPv6 literal keeps its brackets
    QString requestPath; // from the first "/" to the end, query text included
    quint16 port = HttpProtocol::kDefaultPort;
    QString hostHeader; // the Host line's value: hostName, then ":" and the port when one is given
    // "user:password@" before the host, percent-decoded; never part of hostName or hostHeader.
    QString userName;
    QString password;

    bool hasCredentials() const { return !userName.isEmpty() || !password.isEmpty(); }

    // The name or address to connect to: hostName without the brackets of an IPv6 literal.
    QString connectHost() const;
};

struct AddressSplit
{
    enum class Status { Ok, Bad };
    Status status = Status::Bad;
    CamAddress address;
};

// Splits "[http://]host[:port]/path" and "https://host[:port]/path", each with an optional
// "user:password@" before the host. Only a lowercase "http://" is taken off; "https://" in any
// letter case. Bad when there is
// no "/" after the host, when a port is not a number from 1 to 65535, when an unbracketed host
// holds more than one colon, when a bracketed host is not closed or is followed by anything but
// ":port", and when the address or its decoded credentials hold a CR, LF or NUL (they would split
// the request). An empty host is
// Ok here; no connection can be made to it.
AddressSplit splitAddress(const QString &address);
