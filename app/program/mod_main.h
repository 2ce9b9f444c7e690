// Process-wide values of the setup program and its start-up routine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace modMain {

// Screen twips per pixel, whole numbers, captured once at start-up (15 at 96 dpi).
extern std::int32_t TwipsPerPixelX;
extern std::int32_t TwipsPerPixelY;

// The application title, decoded once at start-up; drawn in the caption bar.
extern std::string AppTitle;

// The tick count (GetTickCount) when the process was created, which is when the user
// started the program: the window's bounds count from it. Unset until start-up sets it (a
// window run without start-up counts from its Init).
extern std::optional<std::uint32_t> StartTick;

// The program's entry: prepares the process, runs the main window, gives the exit code.
int Main();

}  // namespace modMain
