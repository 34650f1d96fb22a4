#!/usr/bin/env bash
# Checks a built Roamwise.exe for what lets it run on every Windows since
# 2000: every imported function on the list of functions Windows 2000 has
# (resources/windows2000-imports.txt), a subsystem version Windows 2000
# loads, a 32-bit x86 program, and the version record 1.0.0.7; and, in the
# sources, that every wait asks only for wake bits Windows 2000 knows.
#   [ROAMWISE_SOURCE=DIR] check-release.sh EXE [IMPORT_LIST]
# ROAMWISE_SOURCE names the source folder to scan (default: src/ beside
# this script), so the wake-mask check can be tried on a copy.
set -euo pipefail
exe="${1:?path to Roamwise.exe}"
list="${2:-$(cd "$(dirname "$0")/.." && pwd)/resources/windows2000-imports.txt}"
source_dir="${ROAMWISE_SOURCE:-$(dirname "$0")/../src}"
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
# Windows before XP fails a wait whose wake mask has a bit it does not know
# (QS_RAWINPUT and later), and mingw-w64 puts QS_RAWINPUT into QS_INPUT,
# QS_ALLEVENTS and QS_ALLINPUT whatever _WIN32_WINNT says. So those three
# names are refused outright, and every mask given to a wait must resolve
# to bits no higher than QS_ALLPOSTMESSAGE. Comments and string literals are
# skipped: a comment may name QS_ALLINPUT to say why it is not used.
python3 - "$source_dir" <<'PY' || fail=1
import os, re, sys

QS = {  # as winuser.h defines them; composites as mingw-w64 spells them below Windows 8
    'QS_KEY': 0x1, 'QS_MOUSEMOVE': 0x2, 'QS_MOUSEBUTTON': 0x4, 'QS_POSTMESSAGE': 0x8,
    'QS_TIMER': 0x10, 'QS_PAINT': 0x20, 'QS_SENDMESSAGE': 0x40, 'QS_HOTKEY': 0x80,
    'QS_ALLPOSTMESSAGE': 0x100, 'QS_RAWINPUT': 0x400, 'QS_TOUCH': 0x800, 'QS_POINTER': 0x1000,
    'QS_MOUSE': 0x6, 'QS_INPUT': 0x407, 'QS_ALLEVENTS': 0x4BF, 'QS_ALLINPUT': 0x4FF,
}
KNOWN_BY_2000 = 0x1FF                     # QS_KEY .. QS_ALLPOSTMESSAGE
REFUSED = ('QS_INPUT', 'QS_ALLEVENTS', 'QS_ALLINPUT')
WAITS = {'MsgWaitForMultipleObjects': 4, 'MsgWaitForMultipleObjectsEx': 3, 'GetQueueStatus': 0}

class Unresolved(Exception):
    pass

def strip(text):
    """Blanks out comments and string and character literals, keeping lines."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            j += 1
        else:
            out.append(c)
            i += 1
            continue
        out.append(re.sub(r'[^\n]', ' ', text[i:j]))
        i = j
    return ''.join(out)

def line_of(text, at):
    return text.count('\n', 0, at) + 1

root = sys.argv[1]
files = {}
for folder, _, names in os.walk(root):
    for name in sorted(names):
        if name.endswith(('.c', '.cc', '.cpp', '.h', '.hpp', '.inl')):
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8', errors='replace') as f:
                files[os.path.relpath(path, os.path.dirname(os.path.abspath(root)))] = strip(f.read())
if not files:
    sys.exit('FAIL: no sources found in %s to check the wake masks of' % root)

# NAME -> [(file, line, expression)] from "constexpr/const TYPE NAME = EXPR;",
# "... NAME{EXPR};" and "#define NAME EXPR".
defs = {}
for path, text in files.items():
    for m in re.finditer(r'\b(?:constexpr|const)\b[^;=(){}]*?\b(\w+)\s*(?:=\s*([^;{}]+?)|\{([^;{}]*)\})\s*;', text):
        defs.setdefault(m.group(1), []).append((path, line_of(text, m.start()), m.group(2) or m.group(3)))
    for m in re.finditer(r'^[ \t]*#[ \t]*define[ \t]+(\w+)[ \t]+((?:[^\n]*\\\n)*[^\n]*)', text, re.M):
        defs.setdefault(m.group(1), []).append((path, line_of(text, m.start()), m.group(2).replace('\\\n', ' ')))

def lookup(name, path, line):
    """The nearest definition above in the same file, else the only one elsewhere."""
    found = defs.get(name, [])
    here = [d for d in found if d[0] == path and d[1] <= line]
    if here:
        return max(here, key=lambda d: d[1])
    elsewhere = {d[2].strip() for d in found if d[0] != path}
    if len(elsewhere) == 1:
        return next(d for d in found if d[0] != path)
    raise Unresolved("'%s' is %s" % (name, 'defined more than one way' if elsewhere else 'not a constant this check can read'))

def evaluate(expr, path, line, seen=()):
    tokens = re.findall(r'0[xX][0-9a-fA-F]+[uUlL]*|\d+[uUlL]*|\w+|\S', expr)
    pos = [0]
    def unreadable():
        return Unresolved("'%s' is not an expression of |, &, ~, parentheses, numbers and names" % expr.strip())
    def peek():
        return tokens[pos[0]] if pos[0] < len(tokens) else None
    def take(expected=None):
        t = peek()
        if t is None or (expected and t != expected):
            raise unreadable()
        pos[0] += 1
        return t
    def either():
        value = both()
        while peek() == '|':
            take()
            value |= both()
        return value
    def both():
        value = unary()
        while peek() == '&':
            take()
            value &= unary()
        return value
    def unary():
        if peek() == '~':
            take()
            return ~unary() & 0xFFFFFFFF
        if peek() == '(':
            take()
            value = either()
            take(')')
            return value
        t = take()
        if t[0].isdigit():
            digits = t.rstrip('uUlL')
            try:
                return int(digits, 16 if digits[:2].lower() == '0x' else 8 if digits[0] == '0' else 10)
            except ValueError:
                raise unreadable()
        if t in QS:
            return QS[t]
        if not re.match(r'[A-Za-z_]\w*$', t):
            raise unreadable()
        if t in seen:
            raise Unresolved("'%s' is defined in terms of itself" % t)
        where, at, body = lookup(t, path, line)
        return evaluate(body, where, at, seen + (t,))
    value = either()
    if peek() is not None:
        raise unreadable()
    return value

def arguments(text, open_at):
    """The top-level arguments of the call whose '(' is at open_at."""
    args, depth, start = [], 0, open_at + 1
    for i in range(open_at, len(text)):
        c = text[i]
        if c in '([{':
            depth += 1
        elif c in ')]}':
            depth -= 1
            if depth == 0:
                return args + [(start, text[start:i])]
        elif c == ',' and depth == 1:
            args.append((start, text[start:i]))
            start = i + 1
    return args

failed, checked = False, 0
for path, text in sorted(files.items()):
    for m in re.finditer(r'\b(%s)\b' % '|'.join(REFUSED), text):
        print('FAIL: %s:%d: uses %s, which holds QS_RAWINPUT (0x400): Windows 2000 fails any wait '
              'given it; spell the mask from the bits it knows' % (path, line_of(text, m.start()), m.group(1)))
        failed = True
    for m in re.finditer(r'\b(%s)\b' % '|'.join(WAITS), text):
        line = line_of(text, m.start())
        after = re.compile(r'\s*\(').match(text, m.end())
        args = arguments(text, after.end() - 1) if after else []
        if len(args) <= WAITS[m.group(1)]:
            print('FAIL: %s:%d: %s is named other than in a call this check can read; its wake mask '
                  'cannot be checked' % (path, line, m.group(1)))
            failed = True
            continue
        at, mask = args[WAITS[m.group(1)]]
        try:
            value = evaluate(mask, path, line_of(text, at))
        except Unresolved as why:
            print('FAIL: %s:%d: the wake mask of %s (%s) cannot be resolved: %s'
                  % (path, line, m.group(1), mask.strip(), why))
            failed = True
            continue
        checked += 1
        if value & ~KNOWN_BY_2000:
            print('FAIL: %s:%d: the wake mask of %s (%s = 0x%X) has bits 0x%X above QS_ALLPOSTMESSAGE, '
                  'which Windows 2000 does not know' % (path, line, m.group(1), mask.strip(), value,
                                                         value & ~KNOWN_BY_2000))
            failed = True
if failed:
    sys.exit(1)
print('wake masks: %d checked in %s, all within the bits Windows 2000 knows' % (checked, root))
PY

[ "$fail" -eq 0 ] && echo "release checks passed: $(basename "$exe"), $(wc -l <<<"$imports") imports, all on $(basename "$list")"
exit "$fail"
