#!/usr/bin/env bash
# Tests of the package as a game uses it, against the installed tree alone:
#   package_test.sh install BUILD_DIR PREFIX ZIP_NAME FILE...
#       installs into PREFIX (emptied first), which must hold exactly FILE...; CPack's ZIP_NAME
#       must hold the same files under one top folder
#   package_test.sh mingw BUILD_DIR PREFIX CC OBJDUMP
#       builds mingw_caller.c with PREFIX/include and PREFIX/lib/libwgconf.dll.a, checks that it
#       imports _WGCONF_ConfigDialogBox@12 from wgconf.dll, runs it under Wine in a game
#       installation with the package's DLL and the stand-ins, and expects the result 1
#   package_test.sh msvc PREFIX CLANG LLD_LINK OBJDUMP
#       compiles msvc_caller.cpp for MSVC's ABI, links it with lld-link's default options
#       against PREFIX/lib/wgconf.lib alone and checks the same import
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export_name=_WGCONF_ConfigDialogBox@12

fail() {
    echo "FAILED: $*"
    exit 1
}

# Names that a PE file imports from wgconf.dll, one a line.
wgconf_imports() {
    "$objdump" -p "$1" | awk '/DLL Name:/ { inside = (tolower($NF) == "wgconf.dll"); next }
        inside && /Hint\/Ord/ { next }
        inside && NF == 0 { inside = 0 }
        inside { print $NF }'
}

check_import() {
    local names
    names=$(wgconf_imports "$1")
    echo "$(basename "$(dirname "$1")")/$(basename "$1") imports from wgconf.dll: ${names:-nothing}"
    [ "$names" = "$export_name" ] || fail "expected only $export_name"
}

case "${1:-}" in
install)
    build=$2 prefix=$3 zip_name=$4
    shift 4
    want=$(printf '%s\n' "$@" | sort)
    rm -rf "$prefix" "$prefix.cpack"
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
    tree=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
    echo "installed: $(echo $tree)"
    [ "$tree" = "$want" ] || fail "the installed tree is not: $(echo $want)"
    (cd "$build" && cpack -G ZIP -B "$prefix.cpack" >/dev/null) || fail "cpack"
    zip="$prefix.cpack/$zip_name"
    [ -f "$zip" ] || fail "cpack wrote no $zip_name"
    listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sed "s|^${zip_name%.zip}/||" | sort)
    [ "$listing" = "$want" ] || fail "$zip_name holds: $(echo $listing)"
    echo "$zip_name holds the same files"
    ;;
mingw)
    build=$2 prefix=$3 cc=$4 objdump=$5
    work="$prefix.mingw"
    rm -rf "$work" && mkdir -p "$work"
    "$cc" -std=c99 -Wall -Wextra -Werror -I"$prefix/include" "$here/mingw_caller.c" \
        -L"$prefix/lib" -lwgconf -o "$work/caller.exe" || fail "the MinGW caller does not build against the package"
    check_import "$work/caller.exe"
    source "$root/scripts/demo-layout.sh"
    demo_layout "$build/bin" "$work" 0 || fail "cannot lay out the game installation"
    cp -f "$prefix/bin/wgconf.dll" "$work/caller.exe" "$work/Wingmere/"
    output=$(bash "$root/scripts/wine-exec.sh" "$build" "$work/Wingmere/caller.exe" 2>&1)
    status=$?
    echo "$output"
    [ "$status" = 1 ] && grep -qx 'result=1.\?' <<<"$output" || fail "the caller got exit status $status, not result 1"
    ;;
msvc)
    prefix=$2 clang=$3 lld_link=$4 objdump=$5
    work="$prefix.msvc"
    rm -rf "$work" && mkdir -p "$work"
    # No Windows SDK here: package/msvc-sdk stands in for its windows.h.
    "$clang" --target=i686-pc-windows-msvc -std=c++17 -Wall -Wextra -Werror -I"$prefix/include" \
        -I"$root/package/msvc-sdk" -c "$here/msvc_caller.cpp" -o "$work/caller.obj" || fail "clang"
    "$lld_link" /subsystem:console /out:"$work/caller.exe" "$work/caller.obj" "$prefix/lib/wgconf.lib" ||
        fail "lld-link does not link the caller against wgconf.lib"
    check_import "$work/caller.exe"
    ;;
*)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
