#!/usr/bin/env bash
# The release build is reproducible and signable:
#   release_build.sh SOURCE_DIR WORK_DIR
# builds the win32-release program twice, each time in a clean tree of its own, and requires
# the same bytes (and no link time in the file header); then signs it with scripts/sign-release.sh
# and a code-signing certificate made here and now, and requires the signature to verify
# and the built file to stay as it was.
set -euo pipefail
source_dir=$(realpath "${1:?source folder}")
work=${2:?work folder}
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")

# Every object is compiled afresh in each tree, without a compiler cache even where the
# caller's environment names one: a cached object would hide a compiler whose output differs
# from one run to the next.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1

# One clean build of the product: build NAME
build() {
    rm -rf "$work/$1"
    cmake --preset win32-release -S "$source_dir" -B "$work/$1" \
        -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null
    grep -q '^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=$' "$work/$1/CMakeCache.txt" ||
        fail "the $1 tree compiles through a launcher"
    cmake --build "$work/$1" --target OrbVorexTrialWebSetup -j2 >/dev/null
}
build first
build second
program=app/OrbVorexTrialWebSetup.exe
cmp "$work/first/$program" "$work/second/$program" || fail "two builds of the same sources differ"
stamp=$(i686-w64-mingw32-objdump -p "$work/first/$program" | sed -n 's/^Time\/Date\s*//p')
[[ $stamp == *1970* ]] || fail "the file header carries a link time: $stamp"
echo "two clean builds: the same $(stat -c %s "$work/first/$program") bytes, no link time"

# A code-signing certificate under a root made for this run, as a password-protected PKCS#12.
keys=$work/keys
mkdir -p "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Orb Vorex Release Test Root" \
    -keyout "$keys/root.key" -out "$keys/root.pem" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=Orb Vorex Test Publisher" \
    -keyout "$keys/publisher.key" -out "$keys/publisher.csr" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >"$keys/publisher.ext"
openssl x509 -req -in "$keys/publisher.csr" -CA "$keys/root.pem" -CAkey "$keys/root.key" -CAcreateserial \
    -days 1 -extfile "$keys/publisher.ext" -out "$keys/publisher.pem" 2>/dev/null
password="test $RANDOM password"
openssl pkcs12 -export -inkey "$keys/publisher.key" -in "$keys/publisher.pem" -certfile "$keys/root.pem" \
    -passout "pass:$password" -out "$keys/publisher.p12"

built=$(sha256sum <"$work/first/$program")
signed=$work/signed/OrbVorexTrialWebSetup.exe
ORB_SIGN_PKCS12=$keys/publisher.p12 ORB_SIGN_PASSWORD=$password \
    "$source_dir/scripts/sign-release.sh" --ca "$keys/root.pem" --out "$signed" "$work/first/$program"
osslsigncode verify -in "$signed" -CAfile "$keys/root.pem" >"$work/verify.txt" 2>&1 ||
    { cat "$work/verify.txt"; fail "the signed program does not verify"; }
grep -q "Orb Vorex Test Publisher" "$work/verify.txt" || fail "the signature names another signer"
[[ $(sha256sum <"$work/first/$program") == "$built" ]] || fail "signing changed the built file"
# A wrong password signs nothing.
if ORB_SIGN_PKCS12=$keys/publisher.p12 ORB_SIGN_PASSWORD=wrong \
    "$source_dir/scripts/sign-release.sh" --out "$work/wrong.exe" "$work/first/$program" 2>/dev/null; then
    fail "signed with a wrong password"
fi
[[ ! -e $work/wrong.exe ]] || fail "a wrong password left a file"
echo "signed and verified with osslsigncode"
