#!/usr/bin/env bash
# Checks a built Roamwise.exe for what lets it run on every Windows since
# 2000: only system DLLs imported, a subsystem version Windows 2000 loads,
# and the version record 1.0.0.7.
set -euo pipefail
exe="${1:?path to Roamwise.exe}"
objdump=objdump
command -v i686-w64-mingw32-objdump >/dev/null && objdump=i686-w64-mingw32-objdump
fail=0

allowed='^(kernel32|user32|gdi32|advapi32|comctl32|shell32|msvcrt|ws2_32|wsock32|iphlpapi)\.dll$'
while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
        echo "FAIL: imports $dll, which not every Windows since 2000 ships"
        fail=1
    fi
done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')

major=$("$objdump" -p "$exe" | awk '/MajorSubsystemVersion/ {print $2}')
minor=$("$objdump" -p "$exe" | awk '/MinorSubsystemVersion/ {print $2}')
if [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 0 ]; }; then
    echo "FAIL: subsystem version $major.$minor is newer than Windows 2000 loads"
    fail=1
fi
"$objdump" -f "$exe" | grep -q 'i386' || { echo "FAIL: not a 32-bit x86 program"; fail=1; }

python3 - "$exe" <<'PY' || fail=1
import struct, sys
data = open(sys.argv[1], 'rb').read()
sig = data.find(struct.pack('<I', 0xFEEF04BD))
if sig < 0:
    sys.exit("FAIL: no version record")
ms, ls, pms, pls = struct.unpack_from('<4I', data, sig + 8)
def v(a, b): return (a >> 16, a & 0xFFFF, b >> 16, b & 0xFFFF)
if v(ms, ls) != (1, 0, 0, 7) or v(pms, pls) != (1, 0, 0, 7):
    sys.exit("FAIL: version record reads %s / %s" % (v(ms, ls), v(pms, pls)))
for key, value in [("FileVersion", "1.00.0007"), ("ProductVersion", "1.00.0007"), ("ProductName", "Roamwise"),
                   ("InternalName", "Roamwise"), ("CompanyName", "Quillfern"), ("OriginalFilename", "Roamwise.exe")]:
    k = key.encode('utf-16-le')
    at = data.find(k)
    if at < 0:
        sys.exit("FAIL: version record has no " + key)
    rest = data[at + len(k):at + len(k) + 200].decode('utf-16-le', 'ignore').lstrip('\0')
    if not rest.startswith(value):
        sys.exit("FAIL: %s reads %r" % (key, rest[:20]))
PY
[ "$fail" -eq 0 ] && echo "release checks passed: $(basename "$exe")"
exit "$fail"
