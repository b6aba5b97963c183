#!/usr/bin/env bash
# Checks the export and import tables of the 32-bit build (its tests run under WoW64; this
# pins what the loader sees):
#   check_tables.sh OBJDUMP WGCONF_DLL VIDQ_DLL DSETUP_DLL
# wgconf.dll must be a PE32 i386 DLL exporting only _WGCONF_ConfigDialogBox@12 and importing
# from system DLLs only (the compiler's runtime is linked in): the game's vidq.dll and
# DSETUP.dll are loaded at run time by their full paths, so no caller's search order chooses
# them. vidq.dll must export its three entries and DSETUP.dll its ordinal 11 (which the unit
# tests ask for through the tool). Prints one summary line; exits 1 on any failure.
set -u

if [ $# -ne 4 ]; then
    echo "usage: $0 OBJDUMP WGCONF_DLL VIDQ_DLL DSETUP_DLL" >&2
    exit 2
fi
objdump=$1
wgconf=$2
vidq=$3
dsetup=$4

failures=()
fail() { failures+=("$1"); }

# Libraries that every Windows installation has; anything else must not be needed at load time.
system_dlls=(kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll shell32.dll
    shlwapi.dll ole32.dll oleaut32.dll msvcrt.dll ucrtbase.dll version.dll winmm.dll imm32.dll
    uxtheme.dll ntdll.dll)
is_system_dll() {
    local known
    for known in "${system_dlls[@]}"; do [ "$1" = "$known" ] && return 0; done
    case "$1" in api-ms-win-*) return 0 ;; esac
    return 1
}

# Sets `text` to the private headers of the file; records a failure when they cannot be read.
dump() {
    if ! text=$("$objdump" -p "$1" 2>&1); then
        fail "$(basename "$1"): objdump cannot read it"
        return 1
    fi
}

words() { paste -sd' ' -; }

# Named exports, one a line.
export_names() {
    awk '/^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
         inside && /^[[:space:]]*$/ { inside = 0 }
         inside && /\[ *[0-9]+\]/ { sub(/^[[:space:]]*\[ *[0-9]+\][[:space:]]*/, ""); print }'
}

# Ordinals of the export address table (base + index), one a line.
export_ordinals() {
    awk '/^Export Address Table -- Ordinal Base/ { inside = 1; next }
         inside && /^[[:space:]]*$/ { inside = 0 }
         inside && /\+base\[/ { s = $0; sub(/.*\+base\[ */, "", s); sub(/\].*/, "", s); print s }'
}

# Imports as "dll<TAB>name" or "dll<TAB>#ordinal", the DLL name in lower case.
imports() {
    awk -F'\t' '/DLL Name:/ { dll = $0; sub(/.*DLL Name:[[:space:]]*/, "", dll); dll = tolower(dll); inside = 0; next }
         dll != "" && /vma:[[:space:]]+Hint\/Ord/ { inside = 1; next }
         inside && /^[[:space:]]*$/ { inside = 0; next }
         inside && NF >= 3 {
             thunk = $2; gsub(/[[:space:]]/, "", thunk)
             rest = $3; sub(/^[[:space:]]*/, "", rest)
             split(rest, part, /[[:space:]]+/)
             if (part[2] == "<none>" || (length(thunk) == 8 && thunk ~ /^8/)) print dll "\t#" part[1]
             else print dll "\t" part[2]
         }'
}

check_pe32_dll() {
    local name=$1 text=$2
    grep -q 'file format pei-i386' <<<"$text" || fail "$name: not an i386 image"
    grep -Eq '^Magic[[:space:]]+010b' <<<"$text" || fail "$name: not PE32"
    grep -Eq '^[[:space:]]+DLL$' <<<"$text" || fail "$name: not a DLL"
}

# wgconf.dll
wgconf_summary="wgconf.dll unreadable"
if dump "$wgconf"; then
    check_pe32_dll wgconf.dll "$text"
    names=$(export_names <<<"$text")
    [ "$names" = "_WGCONF_ConfigDialogBox@12" ] ||
        fail "wgconf.dll: exports [$(words <<<"$names")] instead of only _WGCONF_ConfigDialogBox@12"
    ordinal_count=$(export_ordinals <<<"$text" | grep -c .)
    [ "$ordinal_count" -eq 1 ] || fail "wgconf.dll: $ordinal_count entries in its export address table"

    import_list=$(imports <<<"$text")
    import_dlls=$(cut -f1 <<<"$import_list" | sort -u)
    [ -n "$import_dlls" ] || fail "wgconf.dll: no import table read"
    count=0
    for dll in $import_dlls; do
        count=$((count + 1))
        is_system_dll "$dll" || fail "wgconf.dll: imports from $dll, which is not a system DLL"
    done
    wgconf_summary="wgconf.dll exports $(wc -w <<<"$names") name(s), imports from $count system DLL(s) only"
fi

# vidq.dll
vidq_summary="vidq.dll unreadable"
if dump "$vidq"; then
    check_pe32_dll vidq.dll "$text"
    names=$(export_names <<<"$text")
    for entry in _VIDQ_Start@12 _VIDQ_End@4 _VIDQ_GetInformation@8; do
        grep -qxF "$entry" <<<"$names" || fail "vidq.dll: does not export $entry"
    done
    vidq_summary="vidq.dll exports $(grep -c . <<<"$names") name(s)"
fi

# DSETUP.dll
dsetup_summary="DSETUP.dll unreadable"
if dump "$dsetup"; then
    check_pe32_dll DSETUP.dll "$text"
    export_ordinals <<<"$text" | grep -qx 11 || fail "DSETUP.dll: does not export ordinal 11"
    dsetup_summary="DSETUP.dll exports ordinal(s) $(export_ordinals <<<"$text" | words)"
fi

if [ ${#failures[@]} -eq 0 ]; then
    echo "abi tables OK: $wgconf_summary; $vidq_summary; $dsetup_summary"
    exit 0
fi
echo "abi tables FAILED (${#failures[@]}): $(printf '%s; ' "${failures[@]}" | sed 's/; $//')"
exit 1
