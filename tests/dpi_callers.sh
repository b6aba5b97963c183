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
export WGCONF_DPI_PROGRAM=$2 WGCONF_LOGPIXELS="$root/scripts/logpixels.sh"
exec bash "$root/scripts/wine-exec.sh" "$1" --shell '
source "$WGCONF_LOGPIXELS"
logpixels_keep
status=0
for run in "96 unaware" "144 unaware" "192 unaware" "144 system" "144 per-monitor"; do
    echo "=== LogPixels ${run% *}, caller ${run#* }"
    logpixels_set "${run% *}" || { echo "cannot set LogPixels" >&2; status=1; continue; }
    WGCONF_DPI_CALLER="$run" wine "$WGCONF_DPI_PROGRAM" --gtest_filter="DpiCaller.*" || status=1
done
exit $status
'
