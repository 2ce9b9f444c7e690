// Functions of system libraries that only a rarely taken path needs, loaded on first use so
// that start-up does not map and initialise the library.
#pragma once

#include <windows.h>

namespace host {

// The address of `name` in the system library `library` (a file name such as "wintrust.dll"),
// or null when either is missing. The library is loaded from the system folder by its full
// path, never from the program's folder or the search path, and stays loaded for the life of
// the process.
FARPROC SystemFunctionAddress(const char* library, const char* name);

// The same, typed: SystemFunction<decltype(&WinVerifyTrust)>("wintrust.dll", "WinVerifyTrust").
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunctionAddress(library, name)));
}

}  // namespace host
