#pragma once

#include <QtGlobal>

#include <optional>

class QString;

// A text read as a decimal number (spaces around it allowed, a fraction or an exponent too) and
// taken to the nearest 32-bit whole number, halves to even. Empty when the text is no finite
// number or the rounded value lies outside the 32-bit signed range.
std::optional<qint32> toWholeNumber(const QString &text);
