#pragma once

class QWidget;

// Suspends (lock true) or resumes (lock false) all drawing of a window around a group of
// visible changes. A null window is ignored. Always release before the handler returns.
void LockWindow(QWidget *window, bool lock);
