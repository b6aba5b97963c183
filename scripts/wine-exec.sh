#!/usr/bin/env bash
# Runs a program of a build tree under Wine: scripts/wine-exec.sh BUILD_DIR PROGRAM [ARGS...]
# CTest uses it as the emulator of the x86_64 build.
set -u
build=$1
shift
source "$(dirname "$0")/wine-env.sh"
wine_prepare "$build"
exec wine "$@"
