#pragma once

class QString;
class QWidget;

// The message boxes of the camera list. Both are modal and shown with exec(), so the caller
// waits for the answer.

inline constexpr char kMissingInformationText[] = "you must enter all information";
inline constexpr char kMissingInformationTitle[] = ":: error";
inline constexpr char kConfirmDeleteTitle[] = "Confirm Delete";

// "you must enter all information", title ":: error", one OK button.
void ShowMissingInformation(QWidget *parent);

// "Are you sure you want to delete " + name + "?", title "Confirm Delete", OK and Cancel.
// True when the user chose OK.
bool ConfirmDelete(QWidget *parent, const QString &name);
