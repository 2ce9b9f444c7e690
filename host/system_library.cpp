#include "host/system_library.h"

#include <delayimp.h>

#include <string>

namespace host {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Whether the process searches only the system folder (SetDefaultDllDirectories worked).
bool searchRestricted = false;

// Libraries the system's own libraries load by bare name, which the program's folder would
// otherwise provide on a system without SetDefaultDllDirectories: the window's theme and
// composition, the shell's property and profile code, cryptography and security.
constexpr const char* kLoadedByBareName[] = {
    "uxtheme.dll", "dwmapi.dll",  "cryptbase.dll", "version.dll", "userenv.dll",
    "propsys.dll", "profapi.dll", "apphelp.dll",   "sspicli.dll", "secur32.dll",
    "ntmarta.dll", "oleacc.dll",  "clbcatq.dll",   "setupapi.dll", "comres.dll",
};

std::string SystemPath(const char* library) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(folder, length) + '\\' + library;
}

// The delay-load helper's report: a delay-imported library (WinINet, the shell) is about to be loaded
// at the first call of one of its functions. It is loaded here, from the system folder. (A null
// answer would let the helper try the bare name: the code that calls a delay-imported library
// first makes sure with SystemLibrary that it can be had, and fails without calling it if not.)
FARPROC WINAPI DelayLoadHook(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    return reinterpret_cast<FARPROC>(SystemLibrary(info->szDll));
}

}  // namespace

void LoadOnlySystemLibraries() {
    // The current folder leaves the search in every case.
    SetDllDirectoryA("");
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    searchRestricted = restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (searchRestricted) return;
    for (const char* library : kLoadedByBareName) SystemLibrary(library);
}

HMODULE SystemLibrary(const char* library) {
    const std::string path = SystemPath(library);
    if (path.empty()) return nullptr;
    // By full path; its imports searched in the system folder (where the search is restricted)
    // or first in the library's own folder, the system folder, on older systems.
    return LoadLibraryExA(path.c_str(), nullptr,
                          searchRestricted ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemFunctionAddress(const char* library, const char* name) {
    HMODULE module = SystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace host

// The delay-load helper's hook (the name it looks for; declared in delayimp.h).
PfnDliHook __pfnDliNotifyHook2 = host::DelayLoadHook;
