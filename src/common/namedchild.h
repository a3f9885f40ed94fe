#pragma once

#include "common/twips.h"

#include <QString>

// Gives a new child control its objectName and its place in its parent, in twips; returns it.
template<typename W>
W *namedChild(W *widget, const char *objectName, const TwipRect &geometry)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(toPixels(geometry));
    return widget;
}
