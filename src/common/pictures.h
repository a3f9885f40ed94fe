#pragma once

// The program's own pictures, compiled into the executable from resources/. The small ones
// (indicator, not-found picture, buttons) have a twice-sized drawing beside them, "name@2x.png",
// for high-density screens: QIcon picks it by itself, devicePicture() (common/devicepicture.h) for
// the others.
namespace Pictures {
inline constexpr char Refresh[] = ":/pictures/refresh.png"; // 21 x 17 refresh indicator
inline constexpr char NotFound[] = ":/pictures/notfound.png"; // 83 x 62 light-blue X on white
inline constexpr char SlotRefresh[] = ":/pictures/slotrefresh.png"; // 24 x 24 slot button
inline constexpr char SlotStop[] = ":/pictures/slotstop.png"; // 24 x 24 slot button
inline constexpr char Add[] = ":/pictures/cmdadd.png"; // 24 x 24 list buttons
inline constexpr char Remove[] = ":/pictures/cmdremove.png";
inline constexpr char Edit[] = ":/pictures/cmdedit.png";
inline constexpr char StartCam[] = ":/pictures/cmdstartcam.png";
inline constexpr char StopAll[] = ":/pictures/cmdstopall.png";
inline constexpr char Splash[] = ":/pictures/splash.jpg"; // 478 x 318 splash picture
inline constexpr char AppIcon[] = ":/pictures/vantora.png";
} // namespace Pictures
