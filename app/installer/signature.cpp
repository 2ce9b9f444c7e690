#include "app/installer/signature.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include "app/texts/encoded_text.h"
#include "host/system_library.h"
#include "host/wide_text.h"

namespace modMain {
namespace {

// The signer this build trusts, stored encoded like the addresses. It is compiled into each
// program file on its own (see orb_signature_check in CMakeLists.txt), so a test build can
// name another signer without rebuilding the rest.
constexpr auto kInstallerSigner = Encode(ORB_INSTALLER_SIGNER);

// The trust and certificate functions, loaded when a signature is first examined: only the
// install command needs them, and only in a build that names a signer, so start-up does not
// load their libraries.
struct TrustFunctions {
    decltype(&WinVerifyTrust) verify = host::SystemFunction<decltype(&WinVerifyTrust)>("wintrust.dll", "WinVerifyTrust");
    decltype(&WTHelperProvDataFromStateData) providerData =
        host::SystemFunction<decltype(&WTHelperProvDataFromStateData)>("wintrust.dll", "WTHelperProvDataFromStateData");
    decltype(&WTHelperGetProvSignerFromChain) signerOf =
        host::SystemFunction<decltype(&WTHelperGetProvSignerFromChain)>("wintrust.dll", "WTHelperGetProvSignerFromChain");
    decltype(&WTHelperGetProvCertFromChain) certificateOf =
        host::SystemFunction<decltype(&WTHelperGetProvCertFromChain)>("wintrust.dll", "WTHelperGetProvCertFromChain");
    decltype(&CertGetNameStringW) nameOf =
        host::SystemFunction<decltype(&CertGetNameStringW)>("crypt32.dll", "CertGetNameStringW");

    bool Complete() const { return verify && providerData && signerOf && certificateOf && nameOf; }
};

const TrustFunctions& Trust() {
    static const TrustFunctions functions;
    return functions;
}

// The subject name Windows shows as a file's signer (the common name of the certificate).
std::wstring SubjectName(PCCERT_CONTEXT certificate) {
    const auto nameOf = Trust().nameOf;
    const DWORD length = nameOf(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (length <= 1) return {};
    std::wstring name(length, L'\0');
    nameOf(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), length);
    name.resize(length - 1);  // without the terminating zero
    return name;
}

// The signing certificate of the first signer: the first certificate of its chain.
std::wstring SignerName(HANDLE stateData) {
    CRYPT_PROVIDER_DATA* provider = Trust().providerData(stateData);
    if (!provider) return {};
    CRYPT_PROVIDER_SGNR* signer = Trust().signerOf(provider, 0, FALSE, 0);
    if (!signer) return {};
    CRYPT_PROVIDER_CERT* certificate = Trust().certificateOf(signer, 0);
    if (!certificate || !certificate->pCert) return {};
    return SubjectName(certificate->pCert);
}

}  // namespace

SignatureFinding ExamineSignature(const std::wstring& path, HANDLE file) {
    SignatureFinding finding;
    if (!Trust().Complete()) {
        // Without the platform's trust functions nothing can be shown to hold.
        finding.trust = TRUST_E_PROVIDER_UNKNOWN;
        return finding;
    }
    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = path.c_str();
    fileInfo.hFile = file;
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;  // no checks beyond the platform's own policy
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;  // keeps the signer's chain for SignerName
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE: there is no interactive user to ask.
    const HWND noUser = static_cast<HWND>(INVALID_HANDLE_VALUE);

    finding.trust = Trust().verify(noUser, &action, &data);
    finding.signer = SignerName(data.hWVTStateData);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    Trust().verify(noUser, &action, &data);
    return finding;
}

bool SignedBy(const SignatureFinding& finding, const std::string& signer) {
    return finding.trust == ERROR_SUCCESS && !signer.empty() && finding.signer == host::Widen(signer, CP_UTF8);
}

bool InstallerSignatureHolds(const std::wstring& path, HANDLE file) {
    const std::string signer = kInstallerSigner.Decode();
    if (signer.empty()) return true;
    return SignedBy(ExamineSignature(path, file), signer);
}

}  // namespace modMain
