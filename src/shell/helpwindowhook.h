#pragma once

class QWidget;

// Shows the help window "Readme/Help" (objectName "Form8"), not modal. One instance at a time:
// while it is open, showing it again brings that instance to the front. It closes with the main
// window. Until the help file is shown here, it holds a short note on the basics.
void ShowHelpWindow(QWidget *mainWindow);
