// The install command of a build that names the installer's signer (ORB_TEST_SIGNER): the
// demo installer, signed in several ways at test time (signed_installers.sh), is saved and
// started only when the signature holds and names that signer. The test root is trusted
// while the tests run, and removed again afterwards.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "install_helpers.h"

#include "app/installer/files.h"
#include "app/window/frm_main.h"
#include "app/installer/signature.h"
#include "controls/button/cmd_orb.h"
#include "host/app.h"
#include "host/wide_text.h"

namespace {

using wintest::FileBytes;
using wintest::RecordedEffects;

constexpr const char* kFailure =
    "The installer could not be downloaded. Please check your Internet connection and your e-mail "
    "address, then try it again.";
constexpr const char* kName = "OrbVorexSignedTest.exe";

std::string DesktopPath() { return wintest::DesktopPath(kName); }

std::string Signed(const char* file) { return std::string(ORB_SIGNED_DIR) + "\\" + file; }

// Trusts the test root in the machine's root store for the run of this suite, as a test on
// Windows needs. Wine 8 keeps its root store from the host's certificates and drops what is
// added here (measured: the chain still ends in an untrusted root); see RootNobodyTrusts.
class TrustedTestRoot {
public:
    TrustedTestRoot() {
        const std::string der = FileBytes(Signed("root.cer"));
        store_ = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
        if (!store_ || der.empty()) return;
        CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING,
                                         reinterpret_cast<const BYTE*>(der.data()),
                                         static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                         &added_);
    }
    ~TrustedTestRoot() {
        if (added_) CertDeleteCertificateFromStore(added_);  // frees the context too
        if (store_) CertCloseStore(store_, 0);
    }
    bool Added() const { return added_ != nullptr; }

private:
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT added_ = nullptr;
};

// Wine is told by the export every Wine ntdll has and Windows' has not.
bool RunsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Hex(LONG value) {
    char text[11];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

struct Row {
    const char* name;
    const char* file;
    bool starts;
    // Set where Wine's WinVerifyTrust accepts what Windows refuses: the row is skipped under
    // Wine when it says ERROR_SUCCESS, with this reason.
    const char* wineCannotTell = nullptr;
};

const Row kRows[] = {
    {"NamedSigner", "named.exe", true},
    {"Unsigned", "unsigned.exe", false},
    {"AnotherSigner", "other.exe", false},
    {"OneByteChangedAfterSigning", "changed.exe", false},
    {"RootNobodyTrusts", "untrusted.exe", false,
     "Wine 8 builds the signer's chain (its status says CERT_TRUST_IS_UNTRUSTED_ROOT, 0x20) but "
     "WinVerifyTrust does not act on it, and its root store takes no certificate from the prefix: "
     "the trusted and the untrusted root give the same answer"},
};

class SignedInstaller : public testing::TestWithParam<Row> {
public:
    static void SetUpTestSuite() { root_ = std::make_unique<TrustedTestRoot>(); }
    static void TearDownTestSuite() { root_.reset(); }

protected:
    RecordedEffects effects;
    void SetUp() override {
        ASSERT_TRUE(root_->Added()) << "the test root could not be trusted; are the signed files in "
                                    << ORB_SIGNED_DIR << "?";
        RegisterProgramControls();
        host::App::SetEffects(&effects);
        DeleteFileA(DesktopPath().c_str());
    }
    void TearDown() override {
        host::App::SetEffects(nullptr);
        DeleteFileA(DesktopPath().c_str());
    }

private:
    static inline std::unique_ptr<TrustedTestRoot> root_;
};

TEST_P(SignedInstaller, IsStartedOnlyWhenTheNamedSignerSignedIt) {
    const Row& row = GetParam();
    const std::string installer = FileBytes(Signed(row.file));
    ASSERT_GE(installer.size(), 30000u) << row.file;
    const LONG trust = modMain::ExamineSignature(host::Widen(Signed(row.file), CP_ACP)).trust;
    const std::string said = "WinVerifyTrust said " + Hex(trust);
    if (row.wineCannotTell && trust == ERROR_SUCCESS && RunsUnderWine()) {
        GTEST_SKIP() << row.wineCannotTell << " (" << said << ")";
    }

    // An older installer of the same name is replaced only by one that passed the check.
    const std::string old = "an older installer of the same name";
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(host::Widen(DesktopPath(), CP_ACP), old, written, false, error));

    frmMain window;
    ASSERT_TRUE(window.Loaded());
    wintest::FinishAsDownloaded(window, installer, kName);
    EXPECT_EQ(GetFileAttributesA((DesktopPath() + ".partial").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the hidden download was left";

    if (row.starts) {
        ASSERT_EQ(effects.started.size(), 1u) << said;
        EXPECT_EQ(effects.started[0], "\"" + DesktopPath() + "\" /source=web");
        EXPECT_TRUE(effects.boxes.empty());
        EXPECT_TRUE(window.Closing);
        EXPECT_EQ(FileBytes(DesktopPath()), installer) << "the installer on the desktop is not the one sent";
    } else {
        EXPECT_TRUE(effects.started.empty()) << said;
        ASSERT_EQ(effects.boxes.size(), 1u) << said;
        EXPECT_EQ(effects.boxes[0].text, kFailure);
        EXPECT_FALSE(window.Closing);
        EXPECT_TRUE(window.InstallButton().Enabled());
        EXPECT_TRUE(FileBytes(DesktopPath()) == old) << "the older installer was lost to a refused one";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SignedInstaller, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// The signer's name is in the program only encoded: the signature check as compiled for
// this build holds no plain copy of it.
TEST(SignerSetting, IsStoredEncoded) {
    const std::string object = FileBytes(ORB_SIGNATURE_OBJECT);
    ASSERT_GT(object.size(), 1024u) << "cannot read " << ORB_SIGNATURE_OBJECT;
    const std::string signer = ORB_TEST_SIGNER;
    EXPECT_EQ(object.find(signer), std::string::npos);
    std::string wide;
    for (char c : signer) wide += {c, '\0'};
    EXPECT_EQ(object.find(wide), std::string::npos);
}

}  // namespace
