#pragma once

class QListWidget;
class QString;

// The text of List1's selected item; empty when nothing is selected.
QString SelectedCamName(const QListWidget *List1);
