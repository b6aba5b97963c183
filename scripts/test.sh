#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit product and its 64-bit twin with every test
# program, and runs every test: the i686 programs under Wine's WoW64 mode, the x86_64 ones beside
# them under the same Wine, the i686 tables statically, and the sources through a second compiler.
# The last lines say, for each architecture, how many tests ran and passed.
#   WGCONF_WOW64_PROBE_EXIT=N   the exit code of the 32-bit probe program (42, the one that
#                               counts as "runs"); any other shows the run of a machine that
#                               cannot run 32-bit code
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
source scripts/runtime.sh

# ctest's own count, "N% tests passed, F tests failed out of T", as "T run, P passed".
counted() {
    sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$1" | tail -n1 |
        { read -r failed total && echo "$total run, $((total - failed)) passed"; }
}

summary=()
log=$(mktemp)
for preset in i686 x64; do
    case $preset in
        i686) echo "== i686: the 32-bit product under Wine WoW64" ;;
        x64) echo "== x64: the 64-bit twin" ;;
    esac
    if [ "$preset" = i686 ] && ! runtime_runs_32bit "$root/build/i686" "${WGCONF_WOW64_PROBE_EXIT:-42}"; then
        # Wine cannot start a 32-bit program here: only the checks that run none of the
        # product's programs are made, and the x64 twin runs the same tests below.
        echo "!! Wine cannot run 32-bit programs on this machine: a 32-bit probe program did not run."
        echo "!! The i686 product is built and checked statically; its programs are not run here."
        ctest --preset "$preset" -L static 2>&1 | tee "$log"
        [ "${PIPESTATUS[0]}" = 0 ] || status=1
        summary+=("i686: built and checked statically ($(counted "$log")), its programs not run (this machine cannot run 32-bit code)")
        continue
    fi
    ctest --preset "$preset" -LE bench 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" = 0 ] || status=1
    tests=$(counted "$log")
    ctest --preset "$preset" -L bench --verbose 2>&1 | tee "$log" | grep -vE '^(UpdateCTestConfiguration|Parse|Add|Done|Constructing|Checking|Updating|Test project|Internal ctest|test [0-9]|[0-9]+: (Test command|Working Directory|Test timeout))'
    [ "${PIPESTATUS[0]}" = 0 ] || status=1
    benchmarks=$(counted "$log")
    summary+=("$preset: tests ${tests:-none run}; benchmarks ${benchmarks:-none run}")
done
rm -f "$log"
echo "== What ran"
printf '%s\n' "${summary[@]}"
exit $status
