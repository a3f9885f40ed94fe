#pragma once

class QWidget;

// Shows the help window "Readme/Help" (objectName "Form8"), not modal. One instance at a time:
// while it is open, showing it again brings that instance to the front. It closes with the main
// window. For now it is a placeholder window with the caption only.
void ShowHelpWindow(QWidget *mainWindow);
