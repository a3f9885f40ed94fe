#pragma once

#include <QString>

// The program's identity, as its version information states it. Empty until ReadAppIdentity
// has run; other windows use them for captions and as the program's web address.
extern QString strProductName; // "Vantora"
extern QString strCompanyName;
extern QString strComments; // the program's web address

// Sets the three strings (again: the values never change) and makes the product name the
// application name that Qt reports.
void ReadAppIdentity();
