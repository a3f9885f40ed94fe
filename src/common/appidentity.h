#pragma once

#include <QString>

// The program's identity, as its version information states it. Empty until ReadAppIdentity
// has run; other windows use them for captions and as the program's web address.
extern QString strProductName; // "Vantora"
extern QString strCompanyName;
extern QString strComments; // the program's web address

// Sets the three strings (again: the values never change) and makes the product name and the
// version the application name and version that Qt reports.
void ReadAppIdentity();

// The program's version ("0.1.0"), its licence as an SPDX expression, and the reverse-DNS id of
// its desktop entry, icon and AppStream metadata; all three set by the build.
QString programVersion();
QString programLicence();
QString desktopId();
