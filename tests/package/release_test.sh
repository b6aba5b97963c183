#!/usr/bin/env bash
# Tests of what a release ships beside the package:
#   release_test.sh symbols BUILD_DIR PREFIX NAME OBJDUMP OBJCOPY ADDR2LINE EXPORT_FUNCTION
#       PREFIX/bin/wgconf.dll (installed) has no debug section and no symbol table, and a GNU
#       debug link naming wgconf.dll.debug with that file's checksum; with the files of the
#       build's NAME-symbols.zip alone, addr2line turns the export's address (image base + RVA,
#       read from the shipped DLL) into EXPORT_FUNCTION in src/entry/config_dialog_box.cpp, and
#       the map's address of ComposeMailForm into that function in src/support/mail_form.cpp
#   release_test.sh reproducible BUILD_DIR SOURCE_DIR PRESET NAME
#       exports the sources with git archive into another folder, with no .git, builds the
#       default target there with the same preset, and compares every shipped file byte for
#       byte with BUILD_DIR's
set -u

fail() {
    echo "FAILED: $*"
    exit 1
}

case "${1:-}" in
symbols)
    build=$2 prefix=$3 name=$4 objdump=$5 objcopy=$6 addr2line=$7 export_function=$8
    dll="$prefix/bin/wgconf.dll"
    work="$prefix.symbols"
    rm -rf "$work" && mkdir -p "$work"
    (cd "$work" && cmake -E tar xf "$build/$name-symbols.zip") || fail "cannot unpack $name-symbols.zip"
    debug="$work/$name-symbols/wgconf.dll.debug"
    map="$work/$name-symbols/wgconf.map"

    headers=$("$objdump" -h "$dll") || fail "objdump -h"
    echo "$headers"
    debug_sections=$(awk '$1 ~ /^[0-9]+$/ && $2 ~ /^\.z?debug/ { print $2 }' <<<"$headers")
    [ -z "$debug_sections" ] || fail "the shipped DLL carries $(echo $debug_sections)"
    "$objdump" -t "$dll" | grep -q 'no symbols' || fail "the shipped DLL carries a symbol table"

    # .gnu_debuglink: the file name, zero-padded to 4 bytes, then the CRC-32 of that file, which
    # is the one gzip keeps in its trailer.
    "$objcopy" --dump-section .gnu_debuglink="$work/link" "$dll" "$work/copy.dll" || fail "no .gnu_debuglink"
    link_name=$(head -c -4 "$work/link" | tr -d '\0')
    link_crc=$(tail -c 4 "$work/link" | od -An -tx1)
    file_crc=$(gzip -c <"$debug" | tail -c 8 | head -c 4 | od -An -tx1)
    echo "debug link: $link_name, CRC-32$link_crc (the file's:$file_crc)"
    [ "$link_name" = wgconf.dll.debug ] || fail "the debug link names '$link_name'"
    [ "$link_crc" = "$file_crc" ] || fail "the debug link's checksum is not wgconf.dll.debug's"

    # What a crash report gives: an address in the module. Minus the load address, plus the
    # image base: here the export's RVA plus the image base.
    details=$("$objdump" -p "$dll")
    image_base=$(awk '$1 == "ImageBase" { print $2 }' <<<"$details")
    export_rva=$(awk '/Export RVA/ { print $(NF - 2) }' <<<"$details")
    address=$(printf '0x%x' $((0x$image_base + 0x$export_rva)))
    lines=$("$addr2line" -f -C -e "$debug" "$address")
    echo "addr2line -f -C -e wgconf.dll.debug $address:" $lines
    [ "$(sed -n 1p <<<"$lines")" = "$export_function" ] || fail "expected the function $export_function"
    grep -qx '/wgconf/src/entry/config_dialog_box\.cpp:[0-9]*' <<<"$(sed -n 2p <<<"$lines")" ||
        fail "expected a line of /wgconf/src/entry/config_dialog_box.cpp"

    # An internal function, at the address the map gives it. The x86 DWARF names C++ functions
    # by their mangled names, which this addr2line cuts by an underscore: c++filt -n reads them.
    address=$(awk '$2 ~ /^ComposeMailForm\(/ { print $1; exit }' "$map")
    [ -n "$address" ] || fail "the map has no ComposeMailForm"
    lines=$("$addr2line" -f -e "$debug" "$address" | "${addr2line%addr2line}c++filt" -n)
    echo "addr2line -f -e wgconf.dll.debug $address | c++filt -n:" $lines
    grep -q '^ComposeMailForm(' <<<"$(sed -n 1p <<<"$lines")" || fail "expected the function ComposeMailForm"
    grep -qx '/wgconf/src/support/mail_form\.cpp:[0-9]*' <<<"$(sed -n 2p <<<"$lines")" ||
        fail "expected a line of /wgconf/src/support/mail_form.cpp"
    ;;
reproducible)
    build=$2 source=$3 preset=$4 name=$5
    second="$build/second-build"
    copy="$second/wgconf sources"  # another folder, of another length, with a space
    rm -rf "$second" && mkdir -p "$copy"
    # A source export, as a game team gets it: git archive of the tree as it stands (the
    # changes not yet committed included), and no .git beside it. A tree that is itself an
    # export is copied without its build trees.
    if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
        tree=$(git -C "$source" -c user.name=build -c user.email=build@localhost stash create) ||
            fail "cannot read the source tree"
        git -C "$source" archive "${tree:-HEAD}" | tar -C "$copy" -xf - || fail "cannot export the sources"
    else
        tar -C "$source" --exclude=./build -cf - . | tar -C "$copy" -xf - || fail "cannot copy the sources"
    fi
    [ ! -e "$copy/.git" ] || fail "the export has a .git"
    # The time in the zips comes from the tree itself, as it does for the first build.
    (cd "$copy" && unset SOURCE_DATE_EPOCH && cmake --preset "$preset" -DBUILD_TESTING=OFF >/dev/null &&
        cmake --build --preset "$preset" -j"$(nproc)" >"$second/build.log" 2>&1) ||
        fail "the build of the source export failed (see $second/build.log)"
    other="$copy/build/$preset"
    differ=()
    for file in bin/wgconf.dll bin/wgconf.dll.debug bin/wgconf.map lib/libwgconf.dll.a lib/wgconf.lib \
        "$name.zip" "$name-symbols.zip"; do
        echo "cmp $build/$file $other/$file"
        cmp "$build/$file" "$other/$file" || differ+=("$file")
    done
    [ ${#differ[@]} = 0 ] || fail "the second build differs in: ${differ[*]} (kept in $second)"
    echo "the build of the source export, in $copy, gave the same bytes"
    rm -rf "$second"
    ;;
*)
    sed -n '2,14p' "$0" >&2
    exit 2
    ;;
esac
