// File and folder routines of the install command: the desktop folder, deleting the old
// installer, writing the new one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace modMain {

// The file-system path of a shell folder (folder id 0 is the desktop); false when the
// shell cannot resolve it to a path.
bool GetSpecialFolderPath(HWND owner, std::int32_t folderId, std::string& path);

// Deletes a file whatever its attributes; false when it was absent or could not be deleted
// (then GetLastError() is the deletion's).
bool KillFile(const std::string& path);

// Creates (or replaces) the file and writes all of data in one call; true only when every
// byte was written. `bytesWritten` and `lastError` report what the write did.
bool WriteDataFile(const std::string& path, std::string_view data, std::uint32_t& bytesWritten,
                   bool hidden, std::uint32_t& lastError);

}  // namespace modMain
