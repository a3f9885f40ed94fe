#pragma once

#include "slots/camaddress.h"

#include <QByteArrayView>

// Most redirects one fetch follows; a further one fails the fetch.
inline constexpr int kMaxRedirects = 5;

struct RedirectTarget
{
    enum class Status {
        Ok,
        Bad, // no address a slot can fetch (another scheme, no host, unreadable)
        Downgrade, // from "https://" to "http://": refused, the picture would travel unprotected
    };
    Status status = Status::Bad;
    CamAddress address;
};

// The address a "Location" value names, absolute or relative to the address it came from.
// Credentials go along only to the same scheme, host and port, and on the upgrade from http on
// its default port to https on its default port of the same host; a Location with its own
// "user:password@" uses those.
RedirectTarget resolveLocation(const CamAddress &from, QByteArrayView location);
