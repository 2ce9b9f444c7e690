#include "host/system_library.h"

#include <string>

namespace host {

FARPROC SystemFunctionAddress(const char* library, const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + '\\' + library;
    HMODULE module = LoadLibraryA(path.c_str());
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace host
