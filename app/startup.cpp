// Start-up of the setup program: the process-wide preparation before the main window.
#include "app/mod_main.h"

#include <windows.h>
#include <commctrl.h>

#include <clocale>

#include "app/frm_main.h"
#include "app/latest_version.h"
#include "app/texts.h"
#include "host/app.h"

namespace modMain {

std::int32_t TwipsPerPixelX = 15;
std::int32_t TwipsPerPixelY = 15;
std::string AppTitle;

namespace {

// Common-control classes the program may use: progress, animation, date, extended combo
// box, rebar and Internet-address classes.
constexpr DWORD kCommonControlClasses = 0x0FA0;

}  // namespace

int Main() {
    // The shell library stays loaded for the life of the process; the handle is not needed.
    LoadLibraryA("Shell32.dll");

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
    frmMainQueries::ReadBoundsFromEnvironment();

    RegisterProgramControls();
    {
        frmMain window;
        window.Init();
    }
    return 0;
}

}  // namespace modMain
