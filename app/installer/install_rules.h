// The decisions of the install command that need no platform: the request address, which
// file names from the service may be created and run, the path on the desktop, the outcome
// of a download and what a save failure says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modMain {

// The e-mail address as the request uses it: lower-cased (Windows ANSI letters) and
// without leading and trailing blanks.
std::string NormaliseEmail(std::string_view typed);

// Percent-encodes every byte except the unreserved characters A-Z a-z 0-9 - . _ ~, so that
// no input can add to or change the other pieces of the request.
std::string PercentEncode(std::string_view text);

// The install request: base address, the encoded address, the edition value, the
// subscription value and the request token computed from the plain normalised address.
std::string BuildRequestAddress(std::string_view typedEmail, bool proEdition, bool wantsNews);

// True when the service's file name is a plain name that is safe to create and run on the
// desktop: no path or drive, no "..", no reserved device name, no characters Windows
// forbids, control characters or bytes beyond ASCII, no trailing dot or blank, at most
// 200 characters, ending in ".exe".
bool IsSafeInstallerFileName(std::string_view name);

// What the install command does with the download's outcome, in the order it decides.
enum class InstallOutcome {
    Busy,        // the body is exactly the busy notice: information message
    Cancelled,   // the user cancelled: no message, the exit caption comes back
    NotSaved,    // what arrived could not be kept on the desktop: a message that says why
    Install,     // a whole installer with a safe name: save it, start it, close
    NoFileName,  // a large enough body without a usable name: failure message, bar stays
    Failed,      // anything else: failure message
};

// The smallest body that counts as an installer.
inline constexpr std::size_t kSmallestInstaller = 30000;

// Decides the outcome from the short reply held in memory (a busy notice arrives so), the
// size of the whole body wherever it went, and whether saving what arrived failed; a file
// name that is not safe counts as no file name.
InstallOutcome DecideInstallOutcome(std::string_view reply, std::uint64_t bodySize, bool cancelled,
                                    std::string_view fileName, bool saveFailed = false);

// The folder and the file name joined by the separator, without doubling it.
std::string JoinPath(std::string_view folder, std::string_view name);
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// What could not be done with the installer on the user's side of the download.
enum class SaveStep {
    FolderNotFound,   // the desktop folder could not be resolved
    OldFileKept,      // an older file of the same name could not be replaced
    NotWritten,       // the file could not be written completely
    NotStarted,       // the saved installer could not be started
};

// The message of a save failure: what failed, where (`path`, UTF-8; empty when there is no
// path yet) and the system's reason (UTF-8, as the system words it).
std::string SaveFailureMessage(SaveStep step, std::string_view path, std::string_view reason);

}  // namespace modMain
