#include "app/signature.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include "app/encoded_text.h"
#include "host/wide_text.h"

namespace modMain {
namespace {

// The signer this build trusts, stored encoded like the addresses. It is compiled into each
// program file on its own (see orb_signature_check in CMakeLists.txt), so a test build can
// name another signer without rebuilding the rest.
constexpr auto kInstallerSigner = Encode(ORB_INSTALLER_SIGNER);

// The subject name Windows shows as a file's signer (the common name of the certificate).
std::wstring SubjectName(PCCERT_CONTEXT certificate) {
    const DWORD length = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (length <= 1) return {};
    std::wstring name(length, L'\0');
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), length);
    name.resize(length - 1);  // without the terminating zero
    return name;
}

// The signing certificate of the first signer: the first certificate of its chain.
std::wstring SignerName(HANDLE stateData) {
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(stateData);
    if (!provider) return {};
    CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (!signer) return {};
    CRYPT_PROVIDER_CERT* certificate = WTHelperGetProvCertFromChain(signer, 0);
    if (!certificate || !certificate->pCert) return {};
    return SubjectName(certificate->pCert);
}

}  // namespace

SignatureFinding ExamineSignature(const std::string& path) {
    const std::wstring widePath = host::Widen(path, CP_ACP);
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = widePath.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;  // no checks beyond the platform's own policy
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;  // keeps the signer's chain for SignerName
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE: there is no interactive user to ask.
    const HWND noUser = static_cast<HWND>(INVALID_HANDLE_VALUE);

    SignatureFinding finding;
    finding.trust = WinVerifyTrust(noUser, &action, &data);
    finding.signer = SignerName(data.hWVTStateData);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(noUser, &action, &data);
    return finding;
}

bool SignedBy(const SignatureFinding& finding, const std::string& signer) {
    return finding.trust == ERROR_SUCCESS && !signer.empty() && finding.signer == host::Widen(signer, CP_UTF8);
}

bool InstallerSignatureHolds(const std::string& path) {
    const std::string signer = kInstallerSigner.Decode();
    if (signer.empty()) return true;
    return SignedBy(ExamineSignature(path), signer);
}

}  // namespace modMain
