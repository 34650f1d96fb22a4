#!/usr/bin/env bash
# Checks a built Roamwise.exe for what lets it run on every Windows since
# 2000: every imported function on the list of functions Windows 2000 has
# (resources/windows2000-imports.txt), a subsystem version Windows 2000
# loads, a 32-bit x86 program, and the version record 1.0.0.7.
#   check-release.sh EXE [IMPORT_LIST]
set -euo pipefail
exe="${1:?path to Roamwise.exe}"
list="${2:-$(cd "$(dirname "$0")/.." && pwd)/resources/windows2000-imports.txt}"
objdump=objdump
command -v i686-w64-mingw32-objdump >/dev/null && objdump=i686-w64-mingw32-objdump
fail=0
headers="$("$objdump" -p "$exe")"

# Imports as dll!Function (the DLL in lower case: the loader ignores case).
# A function imported by ordinal shows as dll!#ordinal.
imports="$(awk '
/^[ \t]*DLL Name: / { dll = tolower($3); next }
/^[ \t]*$/ || /^[ \t]*vma:/ { next }
/^ [0-9a-f]+\t/ { dll = ""; next }
dll != "" && /^\t[0-9a-f]+\t/ {
    n = split($0, f, /[ \t]+/)
    print dll "!" (f[n] == "<none>" ? "#" f[n - 1] : f[n])
}' <<<"$headers" | LC_ALL=C sort -u)"
if [ -z "$imports" ]; then
    echo "FAIL: no imports read from $exe"
    fail=1
fi
allowed="$(grep -v -e '^#' -e '^[[:space:]]*$' "$list" | LC_ALL=C sort -u)"
while IFS='!' read -r dll function; do
    [ -n "$dll" ] || continue
    echo "FAIL: imports $function from $dll, which is not on $(basename "$list") (not checked to exist on Windows 2000)"
    fail=1
done < <(LC_ALL=C comm -23 <(echo "$imports") <(echo "$allowed"))

major=$(awk '/MajorSubsystemVersion/ {print $2}' <<<"$headers")
minor=$(awk '/MinorSubsystemVersion/ {print $2}' <<<"$headers")
if [ -z "$major" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 0 ]; }; then
    echo "FAIL: subsystem version ${major:-?}.${minor:-?} is newer than Windows 2000 loads"
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
[ "$fail" -eq 0 ] && echo "release checks passed: $(basename "$exe"), $(wc -l <<<"$imports") imports, all on $(basename "$list")"
exit "$fail"
