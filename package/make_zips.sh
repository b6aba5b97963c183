#!/usr/bin/env bash
# Makes the two zips of a build, the same bytes from any folder and at any hour:
#   make_zips.sh BUILD_DIR SOURCE_DIR NAME DLL_DIR
# BUILD_DIR/NAME.zip holds the installed tree under NAME/; BUILD_DIR/NAME-symbols.zip holds
# wgconf.dll.debug and wgconf.map (from DLL_DIR) under NAME-symbols/. Every file carries the time
# SOURCE_DATE_EPOCH, by default the time of the source tree's latest commit; the zips keep no
# other time, owner or folder entry, and list the files in one fixed order.
set -euo pipefail
build=$1 source=$2 name=$3 dll_dir=$4

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)}
if [ -z "$epoch" ]; then
    echo "make_zips.sh: set SOURCE_DATE_EPOCH (the source tree is no git checkout)" >&2
    exit 1
fi

stage="$build/package-stage"
rm -rf "$stage"
mkdir -p "$stage/$name-symbols"
echo "$epoch" >"$stage/source-date-epoch"  # for a second build that must give the same zips
cmake --install "$build" --prefix "$stage/$name" >/dev/null
install -m 644 "$dll_dir/wgconf.dll.debug" "$dll_dir/wgconf.map" "$stage/$name-symbols/"
for top in "$name" "$name-symbols"; do
    find "$stage/$top" -exec touch -h -d "@$epoch" {} +
    rm -f "$build/$top.zip"
    # -X: no extra fields (times beyond the DOS one, owners); -D: no folder entries.
    (cd "$stage" && find "$top" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$build/$top.zip" -@)
done
