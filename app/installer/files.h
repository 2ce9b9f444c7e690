// File and folder routines of the install command: the desktop folder, deleting a file,
// writing one, and the installer file a download is written to as it arrives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/transfer/body_sink.h"
#include "app/installer/install_rules.h"
#include "app/installer/sha256.h"
#include "host/handles.h"

namespace modMain {

// The file-system path of a shell folder (folder id 0 is the desktop), as the shell gives it
// in UTF-16; false when the shell cannot resolve it to a path.
bool GetSpecialFolderPath(HWND owner, std::int32_t folderId, std::wstring& path);

// Deletes a file whatever its attributes; false when it was absent or could not be deleted
// (then GetLastError() is the deletion's).
bool KillFile(const std::wstring& path);

// Creates (or replaces) the file and writes all of data in one call; true only when every
// byte was written. `bytesWritten` and `lastError` report what the write did.
bool WriteDataFile(const std::wstring& path, std::string_view data, std::uint32_t& bytesWritten,
                   bool hidden, std::uint32_t& lastError);

// The system's WriteFile, through which every byte reaches a file here; a test puts a disk
// that fills up in its place.
inline decltype(&::WriteFile) WriteFileFunction = &::WriteFile;

// What went wrong with the installer file: the step, the path it concerned (empty when there
// was none yet) and the system's error code.
struct SaveFailure {
    SaveStep step = SaveStep::NotWritten;
    std::wstring path;
    DWORD error = 0;
};

// The installer as it downloads: each piece is written to a hidden file beside its final
// name in the desktop folder (the same volume, so that the last step is a rename), with a
// running SHA-256 of what arrived. The folder is looked up and the file created when the
// first piece arrives, with the name the transfer found in the response headers by then. A
// name that is not safe to create is never created: the pieces are only counted, and the
// install command then decides on a download without a usable name.
//
// The file is written through a handle that lets others only read: nobody writes, renames or
// deletes it while it grows. Finish then holds it for reading (the writer's handle is closed
// just before, as a program to be started cannot be open for writing), makes sure the hold
// is on the same file, compares what it reads with what was downloaded and runs the caller's
// check (the signature) through the hold. Only a file that passed every check is renamed,
// through the hold, to its final name, replacing an older file only then. Whatever this
// object created is deleted through its handle when it goes away, unless Started was called:
// a cancel, a failure or a refused installer leave nothing behind and an older file as it was.
class InstallerFile final : public modI::BodySink {
public:
    // The caller's check of the held file, given the file's path and the hold (read access).
    using Check = std::function<bool(const std::wstring& path, HANDLE held)>;

    // `findFolder` gives the folder to save in; `name` is the transfer's file name, read when
    // the first piece arrives.
    InstallerFile(std::function<bool(std::wstring& folder)> findFolder, const std::string& name);
    ~InstallerFile() override;
    InstallerFile(const InstallerFile&) = delete;
    InstallerFile& operator=(const InstallerFile&) = delete;

    bool Restart() override;
    bool Append(std::string_view piece) override;

    // Bytes of the body received so far.
    std::uint64_t Size() const { return size_; }
    // Why the file could not be saved; nothing while all went well.
    const std::optional<SaveFailure>& Failure() const { return failure_; }

    // After the last byte: holds, compares, checks and renames. False when the file could not
    // be written or given its name (Failure() says why), or could not be held, did not match
    // the download or failed `check` (Failure() stays empty: the file is not one to start).
    bool Finish(const Check& check = {});
    // The final path, once Finish succeeded, and the handle that holds the file.
    const std::wstring& Path() const { return finalPath_; }
    HANDLE Held() const { return held_.get(); }
    // The installer runs: the file is let go and stays.
    void Started();
    // Removes now what this download created, before a message keeps the window waiting.
    void Discard();

    // Called with the hidden file's path between the writer's close and the hold's open, the
    // one moment another handle could change the file; a test changes it there.
    inline static std::function<void(const std::wstring& path)> BeforeHold;

private:
    bool Open();
    bool Fail(SaveStep step, const std::wstring& path, DWORD error);
    bool Hold();
    bool MoveIntoPlace();
    bool HeldFileMatches();

    std::function<bool(std::wstring&)> findFolder_;
    const std::string& name_;
    bool opened_ = false;    // the first piece has been seen
    bool counting_ = false;  // no usable name: pieces are counted, not written
    bool kept_ = false;
    std::wstring partPath_;
    std::wstring finalPath_;
    host::unique_file part_;  // the writer
    host::unique_file held_;  // the hold, from the writer's close until the installer runs
    BY_HANDLE_FILE_INFORMATION written_{};  // which file the writer wrote
    Sha256 downloaded_;
    std::uint64_t size_ = 0;
    std::optional<SaveFailure> failure_;
};

}  // namespace modMain
