#include "app/installer/install_rules.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/texts/texts.h"

namespace modMain {

namespace {

constexpr std::size_t kLongestInstallerName = 200;

char LowerAnsi(char c) {
    const auto u = static_cast<unsigned char>(c);
    // Windows-1252: A-Z and the accented capitals 0xC0-0xDE except the multiplication sign.
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    return c;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

// CON, PRN, AUX, NUL, and COM or LPT followed by a digit 0-9 or a superscript 1, 2 or 3 (as
// Windows-1252 or UTF-8 writes it), with or without an extension: Windows opens the device.
bool IsReservedDeviceName(std::string_view name) {
    const std::string stem = Upper(name.substr(0, name.find('.')));
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
    if (!stem.starts_with("COM") && !stem.starts_with("LPT")) return false;
    const std::string_view port = std::string_view(stem).substr(3);
    static constexpr std::array<std::string_view, 6> kSuperscripts = {"\xB9", "\xB2", "\xB3",
                                                                      "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    return (port.size() == 1 && port[0] >= '0' && port[0] <= '9') ||
           std::find(kSuperscripts.begin(), kSuperscripts.end(), port) != kSuperscripts.end();
}

bool HasForbiddenCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        // Only printable ASCII: a byte above it means another thing in each code page and
        // can hide the real extension (a right-to-left mark in UTF-8, for one).
        return u < 0x20 || u >= 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    });
}

}  // namespace

std::string NormaliseEmail(std::string_view typed) {
    const auto first = typed.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    typed = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    std::string out(typed);
    std::transform(out.begin(), out.end(), out.begin(), LowerAnsi);
    return out;
}

std::string PercentEncode(std::string_view text) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (IsUnreserved(u)) {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 0x0F];
        }
    }
    return out;
}

std::string BuildRequestAddress(std::string_view typedEmail, bool proEdition, bool wantsNews) {
    const std::string email = NormaliseEmail(typedEmail);
    return texts::InstallUrl.Decode() + PercentEncode(email) + texts::RequestAfterEmail.Decode() +
           (proEdition ? texts::EditionPro : texts::EditionLite).Decode() +
           texts::RequestAfterEdition.Decode() +
           (wantsNews ? texts::SubscribeYes.Decode() : texts::SubscribeNo.Decode()) +
           texts::RequestAfterSubscription.Decode() + MakeRequestToken(email, proEdition ? 1 : 4);
}

bool IsSafeInstallerFileName(std::string_view name) {
    if (name.empty() || name.size() > kLongestInstallerName) return false;
    if (HasForbiddenCharacter(name)) return false;
    if (name.find("..") != std::string_view::npos) return false;
    if (name.back() == '.' || name.back() == ' ' || name.front() == ' ') return false;
    if (IsReservedDeviceName(name)) return false;
    if (name.size() <= 4 || Upper(name.substr(name.size() - 4)) != ".EXE") return false;
    return true;
}

InstallOutcome DecideInstallOutcome(std::string_view reply, std::uint64_t bodySize, bool cancelled,
                                    std::string_view fileName, bool saveFailed) {
    if (reply == "UPDATING") return InstallOutcome::Busy;
    if (cancelled) return InstallOutcome::Cancelled;
    if (saveFailed) return InstallOutcome::NotSaved;
    if (bodySize >= kSmallestInstaller) {
        return IsSafeInstallerFileName(fileName) ? InstallOutcome::Install : InstallOutcome::NoFileName;
    }
    return InstallOutcome::Failed;
}

namespace {

template <typename Char>
std::basic_string<Char> Join(std::basic_string_view<Char> folder, std::basic_string_view<Char> name) {
    const std::string narrowSeparator = texts::PathSeparator.Decode();
    const std::basic_string<Char> separator(narrowSeparator.begin(), narrowSeparator.end());  // ASCII
    std::basic_string<Char> path(folder);
    if (!path.ends_with(separator)) path += separator;
    return path.append(name);
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) { return Join(folder, name); }

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) { return Join(folder, name); }

std::string SaveFailureMessage(SaveStep step, std::string_view path, std::string_view reason) {
    std::string message;
    switch (step) {
        case SaveStep::FolderNotFound: message = texts::SaveFolderNotFound.Decode(); break;
        case SaveStep::OldFileKept: message = texts::SaveOldFileKept.Decode(); break;
        case SaveStep::NotWritten: message = texts::SaveNotWritten.Decode(); break;
        case SaveStep::NotStarted: message = texts::SaveNotStarted.Decode(); break;
    }
    const std::string lineBreak = texts::LineBreak.Decode();
    if (!path.empty()) message.append(lineBreak).append(path);
    if (!reason.empty()) message.append(lineBreak).append(lineBreak).append(reason);
    return message;
}

}  // namespace modMain
