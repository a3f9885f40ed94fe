#pragma once

class QString;

// True when the name can only name a plain file right inside a folder: not empty, not "." or "..",
// no "/" or "\" and no control characters.
bool isPlainFileName(const QString &name);

// The n-th name a file called `name` is tried under: the name itself for 1, then with " (n)"
// before its extension: "Cam1.jpg" and 2 give "Cam1 (2).jpg".
QString numberedFileName(const QString &name, int n);
