#!/usr/bin/env python3
"""Checks the manifest that the shipped DLL carries, without running it:
    check_manifest.py WINDRES WGCONF_DLL
RT_MANIFEST resource 2 (ISOLATIONAWARE_MANIFEST_RESOURCE_ID) must be there and depend on
version 6.0.0.0 of Microsoft.Windows.Common-Controls for any processor, with the platform's
public key token, and declare no DPI awareness (the export sets the thread's). Prints one line;
exits 1 on any failure."""
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

ASSEMBLY = "{urn:schemas-microsoft-com:asm.v1}"
WANTED = {
    "type": "win32",
    "name": "Microsoft.Windows.Common-Controls",
    "version": "6.0.0.0",
    "processorArchitecture": "*",
    "publicKeyToken": "6595b64144ccf1df",
}


def manifest_text(windres, dll):
    """The text of RT_MANIFEST 2 as windres decompiles it, or None when it is missing."""
    run = subprocess.run([windres, "-i", dll, "-O", "rc"], capture_output=True, text=True)
    if run.returncode != 0:
        raise ValueError("windres cannot read its resources: " + run.stderr.strip())
    listing = run.stdout
    block = re.search(r"^2 24 .*?\nBEGIN\n(.*?)\nEND$", listing, re.M | re.S)
    if not block:
        return None
    pieces = []
    for line in block.group(1).splitlines():
        quoted = re.fullmatch(r'\s*"(.*)"\s*', line)
        if not quoted:
            raise ValueError("unexpected line in the manifest resource: " + line)
        pieces.append(quoted.group(1).replace('""', '"').replace("\\n", "\n").replace("\\t", "\t"))
    return "".join(pieces)


def faults_of(text):
    if text is None:
        return ["no RT_MANIFEST resource 2"]
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return ["the manifest is not XML: %s" % error]
    faults = []
    found = root.findall("./%sdependency/%sdependentAssembly/%sassemblyIdentity" % (ASSEMBLY, ASSEMBLY, ASSEMBLY))
    controls = [identity for identity in found if identity.get("name") == WANTED["name"]]
    if len(controls) != 1:
        faults.append("%d dependencies on %s instead of one" % (len(controls), WANTED["name"]))
    for identity in controls:
        for key, value in WANTED.items():
            if identity.get(key) != value:
                faults.append("%s is %r instead of %r" % (key, identity.get(key), value))
    if "dpiAware" in text:
        faults.append("it declares a DPI awareness")
    return faults


def main():
    if len(sys.argv) != 3:
        print("usage: check_manifest.py WINDRES WGCONF_DLL", file=sys.stderr)
        return 2
    try:
        faults = faults_of(manifest_text(sys.argv[1], sys.argv[2]))
    except ValueError as error:
        faults = [str(error)]
    if faults:
        print("manifest FAILED: " + "; ".join(faults))
        return 1
    print("manifest OK: RT_MANIFEST 2 names %s %s" % (WANTED["name"], WANTED["version"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
