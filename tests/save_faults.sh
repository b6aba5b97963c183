#!/usr/bin/env bash
# Runs the unit tests that save GameOption.ini and the mail form against real file-system faults
# and links:
#   tests/save_faults.sh BUILD_DIR UNIT_TEST_PROGRAM
# In the Windows runtime (root, in a private mount namespace) it makes, under one folder that
# it names in WGCONF_FAULT_DIR:
#   locked\        GameOption.ini in a folder that takes no new files (chattr +i)
#   locked-empty\  the same folder without the file
#   append-only\   GameOption.ini in a folder that takes new files but refuses renames (chattr +a)
#   full\          an empty 64 KiB tmpfs
#   full-locked\   a 64 KiB tmpfs holding GameOption.ini and filler, taking no new files
#   form-locked\   mail_support.html in a folder that takes no new files
#   form-link\     mail_support.html, a symbolic link to ../form-link-target.txt
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR UNIT_TEST_PROGRAM" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WGCONF_FAULT_PROGRAM=$2
exec bash "$root/scripts/wine-exec.sh" "$1" --shell '
base=/tmp/wgconf-faults
release() {
    chattr -i "$base/locked" "$base/locked-empty" "$base/full-locked" "$base/form-locked" 2>/dev/null
    chattr -a "$base/append-only" 2>/dev/null
}
trap release EXIT
prepare() {
    mkdir -p "$base/locked" "$base/locked-empty" "$base/append-only" "$base/full" "$base/full-locked" \
        "$base/form-locked" &&
        mount -t tmpfs -o size=64k tmpfs "$base/full" &&
        mount -t tmpfs -o size=64k tmpfs "$base/full-locked" &&
        touch "$base/locked/GameOption.ini" "$base/append-only/GameOption.ini" \
            "$base/full-locked/GameOption.ini" "$base/full-locked/filler" "$base/form-locked/mail_support.html" &&
        chattr +i "$base/locked" "$base/locked-empty" "$base/full-locked" "$base/form-locked" &&
        chattr +a "$base/append-only" &&
        mkdir -p "$base/form-link" && ln -s ../form-link-target.txt "$base/form-link/mail_support.html" &&
        ! touch "$base/locked/new" 2>/dev/null
}
if ! prepare; then
    echo "save_faults.sh: cannot make the faulty folders" >&2
    exit 1
fi
WGCONF_FAULT_DIR="Z:\\tmp\\wgconf-faults\\" wine "$WGCONF_FAULT_PROGRAM" --gtest_filter="SaveFaultTest.*:MailFormFaultTest.*"
'
