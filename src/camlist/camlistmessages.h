#pragma once

class QString;
class QWidget;

// The message boxes of the camera list. Both are modal and shown with exec(), so the caller
// waits for the answer.

inline constexpr char kMissingInformationText[] = "you must enter all information";
inline constexpr char kLineBreakInFieldText[] = "the name, URL and refresh cannot hold a line break";
inline constexpr char kMarkerInFieldText[] = "the URL and refresh cannot start with [name]";

// A field the dialog cannot store: the text, title ":: error", one OK button.
void showFieldError(QWidget *parent, const char *text);

// "Are you sure you want to delete " + name + "?", title "Confirm Delete", OK and Cancel.
// True when the user chose OK.
bool confirmDelete(QWidget *parent, const QString &name);
