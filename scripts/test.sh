#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit product and the 64-bit build, and runs every test:
# the 32-bit tables are checked statically, the 64-bit programs run under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh || exit 1
jobs=$(nproc)

for preset in i686 x64; do
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" -j"$jobs" || exit 1
done

source scripts/wine-env.sh
status=0
ctest --preset i686 || status=1
ctest --preset x64 || status=1
wine_shutdown "$root/build/x64"
exit $status
