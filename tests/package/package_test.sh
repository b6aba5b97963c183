#!/usr/bin/env bash
# Tests of the package as a game uses it, against the installed tree alone:
#   package_test.sh install BUILD_DIR PREFIX NAME FILE...
#       installs into PREFIX (emptied first), which must hold exactly FILE...; the build's NAME.zip
#       must hold the same files under NAME/, and NAME-symbols.zip wgconf.dll.debug and wgconf.map
#   package_test.sh mingw BUILD_DIR PREFIX CC OBJDUMP
#       builds mingw_caller.c with PREFIX/include and PREFIX/lib/libwgconf.dll.a, checks that it
#       imports _WGCONF_ConfigDialogBox@12 from wgconf.dll, runs it under Wine in a game
#       installation with the package's DLL and the stand-ins, and expects the result 1
#   package_test.sh msvc BUILD_DIR PREFIX CLANG LLD_LINK LLVM_DLLTOOL TARGET MACHINE OBJDUMP
#       compiles msvc_caller.cpp for MSVC's ABI (clang --target=TARGET), links it without a C
#       runtime against PREFIX/lib/wgconf.lib and import libraries of user32 and kernel32 made
#       from .def files, checks the same import, runs it the same way and expects result and exit
#       code 1
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

# Lays out the game with the package's DLL and the caller beside it, runs the caller under Wine
# and requires the export's result 1. Wine's own failure to start a program is exit code 1 too:
# the caller's printed result tells them apart.
run_caller() {
    local build=$1 prefix=$2 work=$3 what=$4 output status
    source "$root/scripts/demo-layout.sh"
    demo_layout "$build/bin" "$work" 0 || fail "cannot lay out the game installation"
    cp -f "$prefix/bin/wgconf.dll" "$work/caller.exe" "$work/Wingmere/"
    output=$(bash "$root/scripts/wine-exec.sh" "$build" "$work/Wingmere/caller.exe" 2>&1)
    status=$?
    echo "$output"
    echo "caller.exe exit code: $status"
    [ "$status" = 1 ] && grep -qx 'result=1.\?' <<<"$output" || fail "$what got exit code $status, not result 1"
}

case "${1:-}" in
install)
    build=$2 prefix=$3 name=$4
    shift 4
    want=$(printf '%s\n' "$@" | sort)
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
    tree=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
    echo "installed: $(echo $tree)"
    [ "$tree" = "$want" ] || fail "the installed tree is not: $(echo $want)"
    check_zip() {
        local zip="$build/$1.zip" listing
        [ -f "$zip" ] || fail "the build wrote no $1.zip"
        listing=$(cmake -E tar tf "$zip" | sed "s|^$1/||" | sort)
        [ "$listing" = "$2" ] || fail "$1.zip holds: $(echo $listing)"
        echo "$1.zip holds: $(echo $listing)"
    }
    check_zip "$name" "$want"
    check_zip "$name-symbols" "$(printf 'wgconf.dll.debug\nwgconf.map')"
    ;;
mingw)
    build=$2 prefix=$3 cc=$4 objdump=$5
    work="$prefix.mingw"
    rm -rf "$work" && mkdir -p "$work"
    "$cc" -std=c99 -Wall -Wextra -Werror -I"$prefix/include" "$here/mingw_caller.c" \
        -L"$prefix/lib" -lwgconf -o "$work/caller.exe" || fail "the MinGW caller does not build against the package"
    check_import "$work/caller.exe"
    run_caller "$build" "$prefix" "$work" "the caller"
    ;;
msvc)
    build=$2 prefix=$3 clang=$4 lld_link=$5 dlltool=$6 target=$7 machine=$8 objdump=$9
    work="$prefix.msvc"
    rm -rf "$work" && mkdir -p "$work"
    # No Windows SDK here: package/msvc-sdk stands in for its windows.h.
    "$clang" --target="$target" -std=c++17 -Wall -Wextra -Werror -I"$prefix/include" \
        -I"$root/package/msvc-sdk" -c "$here/msvc_caller.cpp" -o "$work/caller.obj" || fail "clang"
    # Import libraries of the two system DLLs: -k imports the x86 names without their @N.
    case $machine in
        x86) dlltool_machine=i386 decoration='&' ;;
        *) dlltool_machine=i386:x86-64 decoration='' ;;
    esac
    import_library() {
        local dll=$1
        shift
        { echo "LIBRARY $dll.dll" && echo EXPORTS && printf '    %s\n' "$@"; } |
            sed "s/@[0-9]*\$/$decoration/" >"$work/$dll.def"
        "$dlltool" -k -m "$dlltool_machine" -d "$work/$dll.def" -l "$work/$dll.lib" || fail "llvm-dlltool $dll"
    }
    import_library user32 GetActiveWindow@0 GetClassNameW@12 GetDlgItem@8 PostMessageW@16 SetTimer@16
    import_library kernel32 ExitProcess@4 GetStdHandle@4 WriteFile@20
    "$lld_link" /nodefaultlib /entry:start /subsystem:console /machine:"$machine" /out:"$work/caller.exe" \
        "$work/caller.obj" "$prefix/lib/wgconf.lib" "$work/user32.lib" "$work/kernel32.lib" ||
        fail "lld-link does not link the caller against wgconf.lib"
    check_import "$work/caller.exe"
    run_caller "$build" "$prefix" "$work" "the MSVC-ABI caller"
    ;;
*)
    sed -n '2,15p' "$0" >&2
    exit 2
    ;;
esac
