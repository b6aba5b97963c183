#!/usr/bin/env bash
# Checks the shipped DLL's manifest without running it: check_manifest.sh WINDRES WGCONF_DLL
# RT_MANIFEST 2 (ISOLATIONAWARE_MANIFEST_RESOURCE_ID) must depend on version 6.0.0.0 of the
# common controls for any processor, with the platform's key, and declare no DPI awareness.
set -u
[ $# -eq 2 ] || { echo "usage: $0 WINDRES WGCONF_DLL" >&2; exit 2; }
# windres writes the resource as quoted lines, each quote doubled.
manifest=$("$1" -i "$2" -O rc | sed -n '/^2 24 /,/^END$/p' | tr -d '\n' | sed 's/""/"/g')
dependency=$(grep -o '<dependentAssembly>.*</dependentAssembly>' <<<"$manifest")
failures=()
[ -n "$manifest" ] || failures+=("no RT_MANIFEST resource 2")
for attribute in 'name="Microsoft.Windows.Common-Controls"' 'version="6.0.0.0"' 'processorArchitecture="*"' \
    'publicKeyToken="6595b64144ccf1df"'; do
    grep -qF "$attribute" <<<"$dependency" || failures+=("its dependency lacks $attribute")
done
grep -q dpiAware <<<"$manifest" && failures+=("it declares a DPI awareness")
if [ ${#failures[@]} -eq 0 ]; then
    echo "manifest OK: RT_MANIFEST 2 names Microsoft.Windows.Common-Controls 6.0.0.0"
    exit 0
fi
echo "manifest FAILED: $(printf '%s; ' "${failures[@]}" | sed 's/; $//')"
exit 1
