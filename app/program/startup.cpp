// Start-up of the setup program: the process-wide preparation before the main window.
#include "app/program/mod_main.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <clocale>

#include "app/window/frm_main.h"
#include "app/version/latest_version.h"
#include "app/window/one_window.h"
#include "app/texts/texts.h"
#include "host/app.h"
#include "host/system_library.h"

namespace modMain {

std::int32_t TwipsPerPixelX = 15;
std::int32_t TwipsPerPixelY = 15;
std::string AppTitle;
std::optional<std::uint32_t> StartTick;

namespace {

// Common-control classes the program may use: progress, animation, date, extended combo
// box, rebar and Internet-address classes.
constexpr DWORD kCommonControlClasses = 0x0FA0;

ULONGLONG Ticks100ns(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// The tick count at the creation of this process: the system loaded the program and its
// libraries before Main ran, and the user waited for that too.
DWORD ProcessStartTick() {
    const DWORD now = GetTickCount();
    FILETIME created{}, exited{}, kernel{}, user{}, clock{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return now;
    GetSystemTimeAsFileTime(&clock);
    const ULONGLONG createdAt = Ticks100ns(created), clockAt = Ticks100ns(clock);
    if (clockAt < createdAt) return now;  // the clock was set back meanwhile
    return now - static_cast<DWORD>(std::min<ULONGLONG>((clockAt - createdAt) / 10000, 60000));
}

}  // namespace

int Main() {
    StartTick = ProcessStartTick();
    if (!FirstInSession()) return 0;  // the running window has come to the front instead
    // The shell library stays loaded for the life of the process; the handle is not needed.
    host::SystemLibrary("shell32.dll");

    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;  // 8 bytes in 32 and 64 bits
    classes.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&classes);

    // Dates are formatted with the run time's "C" conventions: the Gregorian calendar.
    std::setlocale(LC_TIME, "C");

    TwipsPerPixelX = host::App::TwipsPerPixelX();
    TwipsPerPixelY = host::App::TwipsPerPixelY();

    InitCodeTable();
    AppTitle = texts::AppTitle.Decode();
    latestversion::ReadBoundsFromEnvironment();

    RegisterProgramControls();
    {
        frmMain window;
        window.Init();
    }
    return 0;
}

}  // namespace modMain
