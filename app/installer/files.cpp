#include "app/installer/files.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace modMain {

namespace {

// The hidden file a download goes to carries the final name and this ending.
constexpr std::wstring_view kPartEnding = L".partial";
// Pieces in which a held file is read back for its digest.
constexpr DWORD kReadBackSize = 64 * 1024;

// Writes all of `data` at the file's position; false (and `lastError`) on the first write
// that fails or writes less. A piece larger than one call takes is written in parts.
bool WriteAll(HANDLE file, std::string_view data, std::uint64_t& written, DWORD& lastError) {
    constexpr std::size_t kLargestWrite = 1u << 30;
    written = 0;
    while (!data.empty()) {
        const DWORD size = static_cast<DWORD>(std::min(data.size(), kLargestWrite));
        DWORD wrote = 0;
        SetLastError(ERROR_SUCCESS);
        const BOOL ok = WriteFileFunction(file, data.data(), size, &wrote, nullptr);
        lastError = GetLastError();
        written += wrote;
        if (!ok || wrote != size) {
            if (ok) lastError = ERROR_DISK_FULL;  // a short write without an error: no room left
            return false;
        }
        data.remove_prefix(size);
    }
    return true;
}

std::wstring AsciiWide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

// Gives the open `file` the name `path`, replacing a file of that name; the handle needs
// delete access. The name changes on the file the handle holds, whatever its path is now.
bool RenameThrough(HANDLE file, const std::wstring& path) {
    const std::size_t nameBytes = path.size() * sizeof(wchar_t);
    std::string buffer(sizeof(FILE_RENAME_INFO) + nameBytes, '\0');  // with room for the end mark
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, path.data(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

// Marks the open `file` for deletion as its last handle closes; the handle needs delete access.
bool DeleteThrough(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

bool GetSpecialFolderPath(HWND owner, std::int32_t folderId, std::wstring& path) {
    // The shell's answer is left as the last error, for the message that says why.
    PIDLIST_ABSOLUTE items = nullptr;
    HRESULT result = SHGetSpecialFolderLocation(owner, folderId, &items);
    if (FAILED(result) || !items) {
        SetLastError(static_cast<DWORD>(FAILED(result) ? result : E_FAIL));
        return false;
    }
    PWSTR name = nullptr;  // allocated by the shell to the path's length
    result = SHGetNameFromIDList(items, SIGDN_FILESYSPATH, &name);
    ILFree(items);  // the shell's own release of the list it gave
    const bool found = SUCCEEDED(result) && name;
    if (found) path = name;
    if (name) SHFree(name);
    if (!found) SetLastError(static_cast<DWORD>(FAILED(result) ? result : E_FAIL));
    return found;
}

bool KillFile(const std::wstring& path) {
    if (!SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;  // taken as absent
    return DeleteFileW(path.c_str()) != FALSE;
}

bool WriteDataFile(const std::wstring& path, std::string_view data, std::uint32_t& bytesWritten,
                   bool hidden, std::uint32_t& lastError) {
    bytesWritten = 0;
    host::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        lastError = GetLastError();
        return false;
    }
    std::uint64_t written = 0;
    DWORD error = ERROR_SUCCESS;
    const bool ok = WriteAll(file.get(), data, written, error);
    lastError = error;
    bytesWritten = static_cast<std::uint32_t>(written);
    return ok;
}

InstallerFile::InstallerFile(std::function<bool(std::wstring& folder)> findFolder, const std::string& name)
    : findFolder_(std::move(findFolder)), name_(name) {}

InstallerFile::~InstallerFile() {
    if (!kept_) Discard();
}

bool InstallerFile::Fail(SaveStep step, const std::wstring& path, DWORD error) {
    failure_ = SaveFailure{step, path, error};
    return false;
}

// The folder is looked up and the hidden file created with the name the transfer has found
// by the first piece. Nothing is created without a safe name: the pieces are then counted.
bool InstallerFile::Open() {
    opened_ = true;
    if (!IsSafeInstallerFileName(name_)) {
        counting_ = true;
        return true;
    }
    std::wstring folder;
    if (!findFolder_ || !findFolder_(folder) || folder.empty()) {
        // Joined with an empty folder the name would point at the root of the current drive.
        return Fail(SaveStep::FolderNotFound, L"", GetLastError());
    }
    finalPath_ = JoinPath(folder, AsciiWide(name_));  // a safe name is plain ASCII
    partPath_ = finalPath_ + std::wstring(kPartEnding);
    // Others may only read: nobody else writes into the file, renames or deletes it while it
    // grows. Delete access lets this object remove it through the handle.
    part_.reset(CreateFileW(partPath_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!part_) {
        const DWORD error = GetLastError();
        partPath_.clear();  // not created: nothing to remove
        return Fail(SaveStep::NotWritten, finalPath_, error);
    }
    return true;
}

bool InstallerFile::Append(std::string_view piece) {
    if (failure_) return false;
    if (!opened_ && !Open()) return false;
    size_ += piece.size();
    if (counting_) return true;
    downloaded_.Add(piece);
    std::uint64_t written = 0;
    DWORD error = ERROR_SUCCESS;
    if (!WriteAll(part_.get(), piece, written, error)) return Fail(SaveStep::NotWritten, finalPath_, error);
    return true;
}

bool InstallerFile::Restart() {
    if (failure_) return false;
    size_ = 0;
    downloaded_.Reset();
    if (!part_) return true;  // nothing written yet, or only counted
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(part_.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(part_.get())) {
        return Fail(SaveStep::NotWritten, finalPath_, GetLastError());
    }
    return true;
}

// Gives the held file its final name, replacing an older file only now that the new one has
// passed every check. An older file that is read-only is replaced as before (KillFile cleared
// that too), and gets its attributes back when it cannot be replaced after all.
bool InstallerFile::MoveIntoPlace() {
    if (RenameThrough(held_.get(), finalPath_)) return true;
    DWORD error = GetLastError();
    const DWORD oldAttributes = GetFileAttributesW(finalPath_.c_str());
    if (oldAttributes == INVALID_FILE_ATTRIBUTES) return Fail(SaveStep::NotWritten, finalPath_, error);
    if ((oldAttributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(finalPath_.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (RenameThrough(held_.get(), finalPath_)) return true;
        error = GetLastError();
        SetFileAttributesW(finalPath_.c_str(), oldAttributes);
    }
    return Fail(SaveStep::OldFileKept, finalPath_, error);
}

// Closes the writer and holds the file for reading: others may read it, nobody may write,
// rename or delete it. A program to be started cannot be open for writing, so the two
// handles cannot overlap (a handle opened beside a writer must let others write too); what
// happens to the file in between is found out here: the hold must be on the file written
// (its identity) and read back as the download (HeldFileMatches).
bool InstallerFile::Hold() {
    if (!GetFileInformationByHandle(part_.get(), &written_)) return Fail(SaveStep::NotWritten, finalPath_, GetLastError());
    part_.reset();
    if (BeforeHold) BeforeHold(partPath_);
    held_.reset(CreateFileW(partPath_.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!held_) return false;
    BY_HANDLE_FILE_INFORMATION holding{};
    if (!GetFileInformationByHandle(held_.get(), &holding) || !SameFile(holding, written_)) {
        held_.reset();  // another file under the hidden name: not the one written
        return false;
    }
    return true;
}

// Reads the held file from its start and compares its size and digest with the download's.
bool InstallerFile::HeldFileMatches() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(held_.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) != size_) return false;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(held_.get(), start, nullptr, FILE_BEGIN)) return false;
    Sha256 onDisk;
    std::string buffer(kReadBackSize, '\0');
    std::uint64_t read = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(held_.get(), buffer.data(), kReadBackSize, &got, nullptr)) return false;
        if (got == 0) break;
        onDisk.Add(std::string_view(buffer.data(), got));
        read += got;
    }
    SetFilePointerEx(held_.get(), start, nullptr, FILE_BEGIN);
    return read == size_ && onDisk.Result() == downloaded_.Result();
}

bool InstallerFile::Finish(const Check& check) {
    if (failure_ || !part_) return false;
    // Normal attributes before the name changes: the finished file is an ordinary one.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(part_.get(), FileBasicInfo, &basic, sizeof basic)) {
        return Fail(SaveStep::NotWritten, finalPath_, GetLastError());
    }
    if (!FlushFileBuffers(part_.get())) return Fail(SaveStep::NotWritten, finalPath_, GetLastError());
    if (!Hold() || !HeldFileMatches()) return false;
    if (check && !check(partPath_, held_.get())) return false;
    if (!MoveIntoPlace()) return false;
    partPath_.clear();  // the file now carries its final name
    return true;
}

void InstallerFile::Started() {
    held_.reset();
    kept_ = true;
}

void InstallerFile::Discard() {
    // Through the handle that has the file, under whatever name it has now; a file held by
    // nobody here is removed by its hidden name, which is this download's alone.
    bool removed = false;
    for (host::unique_file* handle : {&part_, &held_}) {
        if (*handle && DeleteThrough(handle->get())) removed = true;
        handle->reset();
    }
    if (!removed && !partPath_.empty()) KillFile(partPath_);
    partPath_.clear();
}

}  // namespace modMain
