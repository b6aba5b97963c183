#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit product and its 64-bit twin with every test
# program, and runs every test: the i686 programs under Wine's WoW64 mode, the x86_64 ones beside
# them under the same Wine, the i686 tables statically, and the sources through a second compiler.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh || exit 1
jobs=$(nproc)

for preset in i686 x64; do
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" -j"$jobs" || exit 1
done

status=0
bash scripts/clang-check.sh || status=1
# Tests first, then the benchmarks with their figures shown.
source scripts/runtime.sh
for preset in i686 x64; do
    case $preset in
        i686) echo "== i686: the 32-bit product under Wine WoW64" ;;
        x64) echo "== x64: the 64-bit twin" ;;
    esac
    if [ "$preset" = i686 ] && ! runtime_runs_32bit; then
        # Nothing 32-bit can start here, Wine's WoW64 included: only the checks that run no
        # 32-bit code are made, and the x64 twin runs the same tests below.
        echo "!! This machine cannot run 32-bit x86 code (its kernel has no 32-bit code segment)."
        echo "!! The i686 product is built and checked statically; its programs are not run here."
        ctest --preset "$preset" -L static || status=1
        continue
    fi
    ctest --preset "$preset" -LE bench || status=1
    ctest --preset "$preset" -L bench --verbose 2>&1 | grep -vE '^(UpdateCTestConfiguration|Parse|Add|Done|Constructing|Checking|Updating|Test project|Internal ctest|test [0-9]|[0-9]+: (Test command|Working Directory|Test timeout))' || status=1
done
exit $status
