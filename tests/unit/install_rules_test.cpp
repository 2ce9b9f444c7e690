// The install request's address, the file names the setup accepts from the service, and
// the desktop path.
#include "app/installer/install_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "app/texts/encoded_text.h"
#include "app/transfer/transfer_rules.h"

namespace {

using modMain::BuildRequestAddress;
using modMain::IsSafeInstallerFileName;

const std::string kBase = "http://127.0.0.1:8765/dl?em=";

TEST(BuildRequestAddress, EditionAndSubscriptionPieces) {
    const struct {
        bool pro;
        bool news;
        std::string tail;
    } cases[] = {
        {true, true, "&edn=p&sub=on&tk=" + modMain::MakeRequestToken("a@b.com", 1)},
        {true, false, "&edn=p&sub=off&tk=" + modMain::MakeRequestToken("a@b.com", 1)},
        {false, true, "&edn=l&sub=on&tk=" + modMain::MakeRequestToken("a@b.com", 4)},
        {false, false, "&edn=l&sub=off&tk=" + modMain::MakeRequestToken("a@b.com", 4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildRequestAddress("a@b.com", c.pro, c.news), kBase + "a%40b.com" + c.tail);
    }
}

TEST(BuildRequestAddress, CapitalsAndBlanksAreNormalisedBeforeTheToken) {
    EXPECT_EQ(BuildRequestAddress("  Jane.Doe@Example.COM ", true, false),
              kBase + "jane.doe%40example.com&edn=p&sub=off&tk=" +
                  modMain::MakeRequestToken("jane.doe@example.com", 1));
}

TEST(BuildRequestAddress, NoInputChangesTheOtherPieces) {
    // The e-mail piece, decoded, gives the normalised input back; the pieces after it stay.
    const std::string inputs[] = {"a@b.com&edn=p", "a@b.com#x", "a b@c.com", "\xC4\xD6@b.com",
                                  std::string(300, 'm'), "", "x+y@z.com", "%41@b.com"};
    for (const auto& input : inputs) {
        const std::string address = BuildRequestAddress(input, false, false);
        ASSERT_EQ(address.rfind(kBase, 0), 0u) << input;
        const std::size_t end = address.find("&edn=");
        ASSERT_NE(end, std::string::npos) << input;
        EXPECT_EQ(address.find('&', end + 1), address.find("&sub=")) << input;
        const std::string piece = address.substr(kBase.size(), end - kBase.size());
        EXPECT_EQ(piece.find_first_of("&#?+= "), std::string::npos) << input;
        EXPECT_EQ(modI::UrlDecode(piece), modMain::NormaliseEmail(input)) << input;
        EXPECT_EQ(address.substr(address.find("&sub=")),
                  "&sub=off&tk=" + modMain::MakeRequestToken(modMain::NormaliseEmail(input), 4))
            << input;
    }
}

TEST(NormaliseEmail, LowerCasesAnsiLettersAndTrimsBlanks) {
    EXPECT_EQ(modMain::NormaliseEmail(" \xC4\xD6@B.com  "), "\xE4\xF6@b.com");
    EXPECT_EQ(modMain::NormaliseEmail("   "), "");
    EXPECT_EQ(modMain::NormaliseEmail("\xD7"), "\xD7");  // the multiplication sign has no lower case
}

TEST(IsSafeInstallerFileName, AcceptsPlainExecutableNames) {
    for (const char* name : {"OrbVorex2009ProTrial.exe", "setup.EXE", "Orb Vorex Setup (1).exe", "a.exe"}) {
        EXPECT_TRUE(IsSafeInstallerFileName(name)) << name;
    }
    EXPECT_TRUE(IsSafeInstallerFileName(std::string(196, 'a') + ".exe"));
}

TEST(IsSafeInstallerFileName, RefusesNamesThatEscapeTheDesktopOrDisguiseThemselves) {
    const std::string refused[] = {
        "../x.exe", "..\\x.exe", "/abs.exe", "\\abs.exe", "C:x.exe", "Z:\\tmp\\x.exe",
        "\\\\server\\share\\x.exe", "setup.exe:evil", "CON", "nul.exe", "COM1.exe", "LPT9.exe",
        "con.txt.exe", "setup.exe.", "setup.exe ", ".", "..", "...", "", "   ",
        std::string("a\0b.exe", 7), "x\r\n.exe", "setup\xE2\x80\xAEgpj.exe", std::string(197, 'a') + ".exe",
        "setup.lnk", "setup.msi", "\"setup.exe", "set*up.exe", "set?up.exe", "a<b>.exe", "a|b.exe", ".exe",
        // Devices current Windows also reserves: port 0 and the superscript digits, in
        // Windows-1252 and in UTF-8, in any letter case, with or without an extension.
        "COM0.exe", "lpt0.exe", "Com0.tar.exe", "COM0", "com\xB9.exe", "LPT\xB2.exe", "lPt\xB3.exe",
        "COM\xC2\xB9.exe", "lpt\xC2\xB3.exe", "COM\xB2",
    };
    for (const auto& name : refused) EXPECT_FALSE(IsSafeInstallerFileName(name)) << name;
}

TEST(DecideInstallOutcome, DecisionTable) {
    using modMain::InstallOutcome;
    const struct {
        const char* name;
        std::string reply;       // what the transfer returned in memory
        std::uint64_t bodySize;  // the whole body, in memory or in the installer file
        bool cancelled;
        const char* fileName;
        bool saveFailed;
        InstallOutcome outcome;
    } cases[] = {
        {"busy notice", "UPDATING", 8, false, "", false, InstallOutcome::Busy},
        {"busy notice in other letters is a failure", "updating", 8, false, "", false, InstallOutcome::Failed},
        {"cancelled", "", 0, true, "", false, InstallOutcome::Cancelled},
        {"cancelled while saving failed: no message", "", 40000, true, "setup.exe", true, InstallOutcome::Cancelled},
        {"30000 bytes with a name", "", 30000, false, "setup.exe", false, InstallOutcome::Install},
        {"29999 bytes with a name", "", 29999, false, "setup.exe", false, InstallOutcome::Failed},
        {"30000 bytes without a name", "", 30000, false, "", false, InstallOutcome::NoFileName},
        {"a long short reply without a name", std::string(30000, 'i'), 30000, false, "", false,
         InstallOutcome::NoFileName},
        {"30000 bytes with an unsafe name", "", 30000, false, "..\\setup.exe", false, InstallOutcome::NoFileName},
        {"the file could not be kept", "", 12000, false, "setup.exe", true, InstallOutcome::NotSaved},
        {"empty body", "", 0, false, "", false, InstallOutcome::Failed},
        {"more than 4 GB", "", 5ull << 30, false, "setup.exe", false, InstallOutcome::Install},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(modMain::DecideInstallOutcome(c.reply, c.bodySize, c.cancelled, c.fileName, c.saveFailed),
                  c.outcome)
            << c.name;
    }
}

TEST(SaveFailureMessage, NamesTheStepThePlaceAndTheSystemsReason) {
    using modMain::SaveStep;
    const std::string path = "C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Desktop\\setup.exe";  // UTF-8
    EXPECT_EQ(modMain::SaveFailureMessage(SaveStep::NotWritten, path, "There is not enough space on the disk."),
              "The installer could not be saved completely:\r\n" + path +
                  "\r\n\r\nThere is not enough space on the disk.");
    EXPECT_EQ(modMain::SaveFailureMessage(SaveStep::FolderNotFound, "", "The system cannot find the path specified."),
              "The installer could not be saved: the desktop folder could not be found.\r\n\r\n"
              "The system cannot find the path specified.");
    EXPECT_EQ(modMain::SaveFailureMessage(SaveStep::OldFileKept, "C:\\d\\s.exe", "Access denied."),
              "The installer could not be saved: an older file of the same name could not be replaced:\r\n"
              "C:\\d\\s.exe\r\n\r\nAccess denied.");
    EXPECT_EQ(modMain::SaveFailureMessage(SaveStep::NotStarted, "C:\\d\\s.exe", ""),
              "The installer could not be started:\r\nC:\\d\\s.exe");
}

TEST(JoinPath, AddsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(modMain::JoinPath("C:\\Users\\me\\Desktop", "s.exe"), "C:\\Users\\me\\Desktop\\s.exe");
    EXPECT_EQ(modMain::JoinPath("C:\\", "s.exe"), "C:\\s.exe");
    EXPECT_EQ(modMain::JoinPath(L"C:\\Users\\\u0418\u0432\u0430\u043D\\\u684C\u9762", L"s.exe"),
              L"C:\\Users\\\u0418\u0432\u0430\u043D\\\u684C\u9762\\s.exe");
    EXPECT_EQ(modMain::JoinPath(L"C:\\", L"s.exe"), L"C:\\s.exe");
}

}  // namespace
