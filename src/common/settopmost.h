#pragma once

class QWidget;

// Keeps the window above all other windows (true) or lets it go behind them again (false).
// Position and size stay; a visible window stays visible.
void SetTopMost(QWidget *window, bool topMost);
