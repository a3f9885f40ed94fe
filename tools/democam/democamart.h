#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>

// The demo camera's pictures.
namespace DemoCamArt {
// An analogue clock face with hands and the same time as digits and date beneath.
QImage clockFace(const QSize &size, const QDateTime &now);
// A fixed test card: colour bars, a grey scale, a circle and a grid.
QImage testCard(const QSize &size);
} // namespace DemoCamArt
