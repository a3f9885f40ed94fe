#pragma once

// Lets the system screen saver start again (active true) or keeps it away (active false).
// On Linux an inhibition is taken from the session bus's org.freedesktop.ScreenSaver service and
// its cookie kept until it is released; without a bus or that service nothing happens. Calls
// never block: the answer is handled when it comes. Returns whether the request could be made.
// Each holder's wish counts on its own: the screen saver stays away while any holder keeps it away,
// so one view closing never gives it back under another that is still open.
enum class ScreenSaverHolder { FullScreenView, CameraWall };
bool SetScreenSaverActive(bool active, ScreenSaverHolder holder = ScreenSaverHolder::FullScreenView);

// Whether the screen saver is kept away now: on Linux, an inhibition's cookie is held.
bool screenSaverInhibitionHeld();
