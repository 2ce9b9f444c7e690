// Start-up of the setup program: the process-wide preparation before the main window.
#include "app/mod_main.h"

#include <windows.h>
#include <commctrl.h>

#include <clocale>
#include <cmath>

#include "app/texts.h"

namespace modMain {

std::int32_t TwipsPerPixelX = 15;
std::int32_t TwipsPerPixelY = 15;
std::string AppTitle;

namespace {

constexpr double kTwipsPerInch = 1440.0;

// Common-control classes the program may use: progress, animation, date, extended combo
// box, rebar and Internet-address classes.
constexpr DWORD kCommonControlClasses = 0x0FA0;

void CaptureTwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    if (!screen) return;  // keep the 96-dpi values
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpiX > 0) TwipsPerPixelX = static_cast<std::int32_t>(std::lround(kTwipsPerInch / dpiX));
    if (dpiY > 0) TwipsPerPixelY = static_cast<std::int32_t>(std::lround(kTwipsPerInch / dpiY));
}

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

    CaptureTwipsPerPixel();

    InitCodeTable();
    AppTitle = texts::AppTitle.Decode();
    return 0;
}

}  // namespace modMain
