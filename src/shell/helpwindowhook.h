#pragma once

class QWidget;

// Shows the help window "Readme/Help" (objectName "Form8"), not modal, loading it first when it
// is not open. One instance at a time: while it is open, showing it again brings that instance to
// the front without loading it again. Closing it destroys it; it closes with the main window.
void ShowHelpWindow(QWidget *mainWindow);
