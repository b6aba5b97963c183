#!/usr/bin/env bash
# The support form in a real browser:
#   browser_test.sh BUILD_DIR SUPPORT_CALLER
# lays out a game installation in a folder whose name holds "&" and Japanese, runs
# SUPPORT_CALLER there under Wine (it presses User Support, then Cancel, and must get 1), and
# has browser_check.py open the mail_support.html that the tool wrote in headless chromium.
# The rendered form goes to BUILD_DIR/support-form/mail_support.png.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1 caller=$2

fail() {
    echo "FAILED: $*"
    exit 1
}

work="$build/support-form"
install="$work/Wingmere 翼 & 空"
rm -rf "$work" && mkdir -p "$work"
source "$root/scripts/demo-layout.sh"
demo_layout "$build/bin" "$work" 1 || fail "cannot lay out the game installation"
mv "$work/Wingmere" "$install" && cp -f "$caller" "$install/" || fail "cannot move the installation"
bash "$root/scripts/wine-exec.sh" "$build" "$install/$(basename "$caller")"
status=$?
[ "$status" = 1 ] || fail "the caller got exit code $status, not 1"
form="$work/Save/mail_support.html"
[ -f "$form" ] || fail "the tool wrote no $form"
# The folder as the form names it: Wine's drive Z: is the Unix root.
windows_install="Z:${install//\//\\}\\"
python3 "$here/browser_check.py" "$install/support.html" "$form" "$windows_install" "$work/mail_support.png" ||
    fail "the browser's text of the form"
