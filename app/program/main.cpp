// The program's entry point. It takes no command line.
#include <windows.h>

#include "app/program/mod_main.h"
#include "host/system_library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: from here on, libraries come from the system folder.
    host::LoadOnlySystemLibraries();
    return modMain::Main();
}
