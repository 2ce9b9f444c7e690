// The decisions of the install command that need no platform: the request address, which
// file names from the service may be created and run, and the path on the desktop.
#pragma once

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
    Install,     // a whole installer with a safe name: save it, start it, close
    NoFileName,  // a large enough body without a usable name: failure message, bar stays
    Failed,      // anything else: failure message
};

// The smallest body that counts as an installer.
inline constexpr std::size_t kSmallestInstaller = 30000;

// Decides the outcome; a file name that is not safe counts as no file name.
InstallOutcome DecideInstallOutcome(std::string_view body, bool cancelled, std::string_view fileName);

// The folder and the file name joined by the separator, without doubling it.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace modMain
