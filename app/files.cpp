#include "app/files.h"

#include <shlobj.h>

#include "host/handles.h"

namespace modMain {

bool GetSpecialFolderPath(HWND owner, std::int32_t folderId, std::string& path) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, folderId, &items)) || !items) return false;
    char buffer[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListA(items, buffer) != FALSE;
    ILFree(items);  // the shell's own release of the list it gave
    if (found) path = buffer;
    return found;
}

bool KillFile(const std::string& path) {
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;  // taken as absent
    return DeleteFileA(path.c_str()) != FALSE;
}

bool WriteDataFile(const std::string& path, std::string_view data, std::uint32_t& bytesWritten,
                   bool hidden, std::uint32_t& lastError) {
    bytesWritten = 0;
    host::unique_file file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        lastError = GetLastError();
        return false;
    }
    DWORD written = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL ok = WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    lastError = GetLastError();
    bytesWritten = written;
    return ok && written == data.size();
}

}  // namespace modMain
