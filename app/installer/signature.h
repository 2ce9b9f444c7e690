// The publisher's signature of a saved installer, checked before the installer is started
// with the administrator rights this program holds. A build names the signer it trusts
// (ORB_INSTALLER_SIGNER); a build that names none starts the installer unchecked.
#pragma once

#include <windows.h>

#include <string>

namespace modMain {

// What the platform said about a file's signature.
struct SignatureFinding {
    LONG trust = 0;       // WinVerifyTrust's answer: 0 (ERROR_SUCCESS) when the signature holds
    std::wstring signer;  // the signing certificate's subject name; empty when there is none
};

// Asks the platform (WinVerifyTrust with the generic Authenticode action, no user interface,
// revocation as the platform's policy says) about the file's embedded signature. Given an
// open handle of the file (read access), the platform reads the file through it.
SignatureFinding ExamineSignature(const std::wstring& path, HANDLE file = nullptr);

// True when the signature holds and the signing certificate's subject name is exactly
// `signer` (UTF-8).
bool SignedBy(const SignatureFinding& finding, const std::string& signer);

// The install command's check of the saved installer, held open through `file`: true when
// the build names no signer, otherwise only when the file is signed by that signer.
bool InstallerSignatureHolds(const std::wstring& path, HANDLE file);

}  // namespace modMain
