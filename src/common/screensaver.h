#pragma once

// Lets the system screen saver start again (active true) or keeps it away (active false).
// On Linux an inhibition is taken from the session bus's org.freedesktop.ScreenSaver service and
// its cookie kept until it is released; without a bus or that service nothing happens. Calls
// never block: the answer is handled when it comes. Returns whether the request could be made.
bool SetScreenSaverActive(bool active);
