#pragma once

// What changed in a slot, as a view that follows every open slot (the camera wall) hears of it.
// Camera: opened, stopped or given other texts; Fetching: the refresh indicator shown or hidden;
// Outcome: the last fetch's outcome (tool tip and dimming).
enum class SlotChange { Camera, Picture, Progress, Fetching, Outcome };
