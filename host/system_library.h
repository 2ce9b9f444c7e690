// System libraries, loaded only from the system folder. A user runs this program from a
// download folder where any file may lie, and the loader looks in the program's folder first
// for every library that is not one of the system's known DLLs: no library may be found there.
#pragma once

#include <windows.h>

namespace host {

// Restricts the library search of the whole process to the system folder. The first thing the
// program does. Where the system cannot restrict it (Windows 7 without its 2011 loader update),
// loads by full path the libraries that the system's own libraries load by bare name later,
// so that those loads find them loaded.
void LoadOnlySystemLibraries();

// The system library `library` (a file name such as "wintrust.dll"), loaded by its full path
// in the system folder, its own imports searched there too; null when it cannot be loaded. It
// stays loaded for the life of the process.
HMODULE SystemLibrary(const char* library);

// The address of `name` in the system library `library`, or null when either is missing.
FARPROC SystemFunctionAddress(const char* library, const char* name);

// The same, typed: SystemFunction<decltype(&WinVerifyTrust)>("wintrust.dll", "WinVerifyTrust").
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunctionAddress(library, name)));
}

}  // namespace host
