#!/usr/bin/env bash
# Runs the dialog at several DPI settings for callers of each kind of DPI awareness:
#   tests/dpi_callers.sh BUILD_DIR UI_TEST_PROGRAM
# Wine takes LogPixels when its session starts, so each case sets it, starts a new session and
# runs the test DpiCaller.* with WGCONF_DPI_CALLER="DPI CALLER". The prefix's own LogPixels
# values are put back afterwards, whatever happened, so that other tests run at their setting.
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR UI_TEST_PROGRAM" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WGCONF_DPI_PROGRAM=$2
exec bash "$root/scripts/wine-exec.sh" "$1" --shell '
keys=("HKCU\\Control Panel\\Desktop" "HKCC\\Software\\Fonts")
saved=()
for key in "${keys[@]}"; do
    saved+=("$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d "\r" | awk "/LogPixels/ {print \$3}")")
done
set_dpi() {
    for key in "${keys[@]}"; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || return 1
    done
    # A new session, which reads the setting.
    wineserver -k; wineserver -w
}
restore() {
    for i in 0 1; do
        if [ -n "${saved[$i]}" ]; then
            wine reg add "${keys[$i]}" /v LogPixels /t REG_DWORD /d "$((saved[$i]))" /f >/dev/null 2>&1
        else
            wine reg delete "${keys[$i]}" /v LogPixels /f >/dev/null 2>&1
        fi
    done
    wineserver -k; wineserver -w
}
trap restore EXIT
status=0
for run in "96 unaware" "144 unaware" "192 unaware" "144 system" "144 per-monitor"; do
    echo "=== LogPixels ${run% *}, caller ${run#* }"
    set_dpi "${run% *}" || { echo "cannot set LogPixels" >&2; status=1; continue; }
    WGCONF_DPI_CALLER="$run" wine "$WGCONF_DPI_PROGRAM" --gtest_filter="DpiCaller.*" || status=1
done
exit $status
'
