// The program's entry point. It takes no command line.
#include <windows.h>

#include "app/mod_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return modMain::Main(); }
