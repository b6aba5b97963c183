#!/usr/bin/env bash
# Makes the two zips of a build, the same bytes from any folder and at any hour:
#   make_zips.sh BUILD_DIR NAME DLL_DIR RELEASE_EPOCH
# BUILD_DIR/NAME.zip holds the installed tree under NAME/; BUILD_DIR/NAME-symbols.zip holds
# wgconf.dll.debug and wgconf.map (from DLL_DIR) under NAME-symbols/. Every file carries the time
# SOURCE_DATE_EPOCH when that is set, else RELEASE_EPOCH, the release's date written in the
# source tree; the zips keep no other time, owner or folder entry, and list the files in one
# fixed order. Nothing here asks git, so a source export builds the same zips as a checkout.
set -euo pipefail
build=$1 name=$2 dll_dir=$3 release_epoch=$4

epoch=${SOURCE_DATE_EPOCH:-$release_epoch}
if ! [[ "$epoch" =~ ^[0-9]+$ ]]; then
    echo "make_zips.sh: the time for the zips is no number of seconds: '$epoch'" >&2
    exit 1
fi

stage="$build/package-stage"
rm -rf "$stage"
mkdir -p "$stage/$name-symbols"
cmake --install "$build" --prefix "$stage/$name" >/dev/null
install -m 644 "$dll_dir/wgconf.dll.debug" "$dll_dir/wgconf.map" "$stage/$name-symbols/"
for top in "$name" "$name-symbols"; do
    find "$stage/$top" -exec touch -h -d "@$epoch" {} +
    rm -f "$build/$top.zip"
    # -X: no extra fields (times beyond the DOS one, owners); -D: no folder entries.
    (cd "$stage" && find "$top" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$build/$top.zip" -@)
done
