#!/usr/bin/env bash
# Makes the installers of the signature check's test rows from the demo installer, with a
# test certificate authority made here and now (nothing of it is kept in the sources):
#   signed_installers.sh DEMO_INSTALLER SIGNER OUT_DIR
# writes to OUT_DIR:
#   root.cer       the test root, DER; the tests trust it in their Wine prefix only
#   named.exe      signed by SIGNER, under the trusted root
#   unsigned.exe   the demo installer as built
#   other.exe      signed by another signer, under the trusted root
#   changed.exe    named.exe with one byte of its code changed after signing
#   untrusted.exe  signed by a certificate named SIGNER, under a root nobody trusts
set -euo pipefail
demo=$(realpath "${1:?demo installer}")
signer=${2:?signer name}
out=${3:?output folder}
mkdir -p "$out"
cd "$out"
# osslsigncode does not overwrite: the files of an earlier run go first.
rm -f root.cer named.exe unsigned.exe other.exe changed.exe untrusted.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A self-signed root certificate authority: root NAME FILE
root() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1" \
        -keyout "$work/$2.key" -out "$work/$2.pem" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}

# A code-signing certificate issued by a root, with the root in its chain: leaf NAME ROOT FILE
leaf() {
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$1" -keyout "$work/$3.key" -out "$work/$3.csr" 2>/dev/null
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
        >"$work/$3.ext"
    openssl x509 -req -in "$work/$3.csr" -CA "$work/$2.pem" -CAkey "$work/$2.key" -CAcreateserial \
        -days 1 -extfile "$work/$3.ext" -out "$work/$3.pem" 2>/dev/null
    cat "$work/$3.pem" "$work/$2.pem" >"$work/$3.chain.pem"
}

# Signs the demo installer: sign CERT OUT
sign() {
    osslsigncode sign -certs "$work/$1.chain.pem" -key "$work/$1.key" -h sha256 \
        -n "Orb Vorex test installer" -in "$demo" -out "$2" >/dev/null
}

root "Orb Vorex Test Root" trusted
root "Orb Vorex Untrusted Root" untrusted
leaf "$signer" trusted named
leaf "Someone Else Entirely" trusted other
leaf "$signer" untrusted impostor

openssl x509 -in "$work/trusted.pem" -outform DER -out root.cer
sign named named.exe
sign other other.exe
sign impostor untrusted.exe
cp "$demo" unsigned.exe
cp named.exe changed.exe
# One byte of the first section's code (the sections start at 0x400 in these files), far
# from the signature at the end of the file.
printf '\xCC' | dd of=changed.exe bs=1 seek=$((0x600)) conv=notrunc status=none
cmp -s named.exe changed.exe && { echo "changed.exe did not change" >&2; exit 1; }
exit 0
