#!/usr/bin/env bash
# Finds a Wine that runs 32-bit Windows programs (a WoW64 build) and prints the folder of its
# programs (wine, wineserver, wineboot), to be put first on PATH; prints nothing and ends with
# 1 when there is none. In order: ORB_WINE32 naming its `wine`; the packed build beside the
# clone (../shared/wine-wow64/wine-wow64.tar.xz), unpacked once into the user's cache, in a
# folder named after the archive's SHA-256 (a new archive is unpacked anew).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${ORB_WINE32:-}" ]; then
    [ -x "$ORB_WINE32" ] || { echo "ORB_WINE32=$ORB_WINE32 is not a program" >&2; exit 1; }
    dirname "$(realpath "$ORB_WINE32")"
    exit 0
fi
archive=$root/../shared/wine-wow64/wine-wow64.tar.xz
[ -f "$archive" ] || exit 1
sum=$(sha256sum "$archive" | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orbvorex/wine-wow64-$sum
if [ ! -x "$cache/opt/wine-wow64/bin/wine" ]; then
    echo "unpacking $archive into $cache" >&2
    rm -rf "$cache.part"
    mkdir -p "$cache.part"
    tar -C "$cache.part" -xJf "$archive"
    rm -rf "$cache"
    mv "$cache.part" "$cache"
fi
echo "$cache/opt/wine-wow64/bin"
