#!/usr/bin/env bash
# A second compiler as a guard: every source under src/ must compile warning-free with clang for
# the 32-bit target too (syntax check against the MinGW-w64 headers and GCC's C++ library).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

target=i686-w64-mingw32
# The C++ library headers that the MinGW-w64 GCC itself uses.
library_includes=()
while IFS= read -r directory; do
    library_includes+=(-isystem "$directory")
done < <("$target-g++-posix" -xc++ -E -v /dev/null 2>&1 |
    sed -n '/search starts here:/,/End of search list/p' | grep '^ .*c++' | sed 's/^ *//')

flags=(--target=$target -std=c++17 -fsyntax-only -Wall -Wextra -Wpedantic -Werror
    -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601
    "${library_includes[@]}" -Isrc -Isrc/resources -Iinclude -DWGCONF_BUILDING_LIBRARY)

status=0
count=0
while IFS= read -r source; do
    count=$((count + 1))
    clang++ "${flags[@]}" "$source" || { echo "clang: $source does not compile cleanly" >&2; status=1; }
done < <(find src -name '*.cpp' | sort)
[ $status = 0 ] && echo "clang: $count sources under src/ compile warning-free for $target"
exit $status
