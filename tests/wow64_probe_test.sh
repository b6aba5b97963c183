#!/usr/bin/env bash
# The 32-bit probe believes only the exit code of its own program:
#   tests/wow64_probe_test.sh BUILD_DIR
# A probe program that ends with 1 (what Wine's own start failure gives) or with 0 must make the
# answer "cannot run", whatever this machine can do.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/runtime.sh"
status=0
for code in 1 0; do
    if runtime_runs_32bit "$1" "$code"; then
        echo "FAILED: a probe program that exits with $code was taken for a running 32-bit program"
        status=1
    else
        echo "a probe program that exits with $code: cannot run, as expected"
    fi
done
exit $status
