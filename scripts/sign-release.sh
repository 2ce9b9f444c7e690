#!/usr/bin/env bash
# Signs the release build of the setup program with the publisher's code-signing certificate
# (Authenticode, SHA-256, through osslsigncode), then verifies the signature:
#
#   ORB_SIGN_PKCS12=publisher.p12 ORB_SIGN_PASSWORD=... \
#     scripts/sign-release.sh [--timestamp URL] [--ca ROOTS.pem] [--out SIGNED.exe] [PROGRAM.exe]
#
# PROGRAM.exe  the file to sign; build/win32-release/app/OrbVorexTrialWebSetup.exe by default.
#              It stays as built (unsigned), so that it can be compared with another build.
# --out        where the signed file goes; build/win32-release/signed/<its name> by default.
# --timestamp  an RFC 3161 time-stamp server (the certificate authority names one), so that the
#              signature stays valid after the certificate expires.
# --ca         the roots the verification trusts; the system's by default.
# The password is read from the environment, never from the command line, and reaches
# osslsigncode through a pipe, not through its arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "sign-release: $*" >&2; exit 1; }

timestamp= ca= out= program=build/win32-release/app/OrbVorexTrialWebSetup.exe
while (($#)); do
    case $1 in
        --timestamp) timestamp=${2:?--timestamp needs an address}; shift 2 ;;
        --ca) ca=${2:?--ca needs a file}; shift 2 ;;
        --out) out=${2:?--out needs a file}; shift 2 ;;
        -*) fail "unknown option $1" ;;
        *) program=$1; shift ;;
    esac
done
pkcs12=${ORB_SIGN_PKCS12:-}
[[ -n $pkcs12 ]] || fail "ORB_SIGN_PKCS12 names no certificate file (PKCS#12)"
[[ -f $pkcs12 ]] || fail "no certificate file $pkcs12"
[[ -v ORB_SIGN_PASSWORD ]] || fail "ORB_SIGN_PASSWORD is not set"
[[ -f $program ]] || fail "no program file $program: build it first (cmake --preset win32-release && cmake --build --preset win32-release)"
out=${out:-$(dirname "$program")/../signed/$(basename "$program")}
mkdir -p "$(dirname "$out")"
rm -f "$out"  # osslsigncode does not overwrite

options=(-pkcs12 "$pkcs12" -readpass - -h sha256 -n "Orb Vorex 2009 Trial Web Setup"
         -i "https://www.orbvorex.com/")
[[ -z $timestamp ]] || options+=(-ts "$timestamp")
if ! printf '%s' "$ORB_SIGN_PASSWORD" | osslsigncode sign "${options[@]}" -in "$program" -out "$out" >/dev/null; then
    rm -f "$out"
    fail "signing failed (a wrong password, or a file without a code-signing key?)"
fi

verify=(-in "$out")
[[ -z $ca ]] || verify+=(-CAfile "$ca")
if ! report=$(osslsigncode verify "${verify[@]}" 2>&1); then
    echo "$report" >&2
    rm -f "$out"
    fail "the signed file does not verify"
fi
echo "signed and verified: $out"
