#!/bin/sh
# Writes src/app/start-up-order.ld: the functions Tarumin runs while it starts, puts up its
# window and looks at the game files, placed side by side at the front of its code.
#
# Why: the kernel maps a program's code 64 KB at a time around each page it touches, so the few
# functions a start runs, when scattered through 750 KB of code, bring nearly all of it into
# memory. Packed together they bring about a third. The list only orders code: a name in it
# that no longer exists matches nothing, and a new function missing from it is placed as before.
#
# Run it again after larger changes to what the start does. Needs valgrind.
#     tools/start-up-order.sh [BUILD_DIR]      (default: build)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
program="$build/app/Tarumin"
[ -x "$program" ] || { echo "build Tarumin first: $program" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The program folder of the measurements: a full catalogue beside the built program's data.
cp -r "$build/app/." "$tmp/folder"
tools/full-list.py "$tmp/folder/tarumin/list.csv"

# A start under callgrind: the window, its first paint, the look at the files, then a dump.
# What ran before the window's first paint is dumped on its own (start.out.1): that code goes
# first, so that the least code is in memory when the window appears.
QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --demangle=no \
    --dump-before=_ZN10MainWindow10paintEventEP11QPaintEvent \
    --callgrind-out-file="$tmp/start.out" "$tmp/folder/Tarumin" >/dev/null 2>&1 &
pid=$!
sleep 45
callgrind_control -d "$pid" >/dev/null
sleep 2
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

out=src/app/start-up-order.ld
python3 - "$tmp" "$program" > "$out" <<'PY'
import glob, re, subprocess, sys
folder, program = sys.argv[1], sys.argv[2]
# Every function the run entered whose code the program holds itself (by name: valgrind does not
# always tell which file code in a section of our own came from).
ours = {line.split()[-1] for line in subprocess.run(['nm', '--defined-only', program], capture_output=True,
                                                     text=True, check=True).stdout.splitlines()
        if len(line.split()) == 3 and line.split()[1] in 'tTwW'}
def entered(paths):
    names = set()
    for path in paths:
        for line in open(path, errors='replace'):
            m = re.match(r'^c?fn=\(\d+\) (\S+)$', line.rstrip('\n'))
            if m and m.group(1).split("'")[0] in ours:
                names.add(m.group(1).split("'")[0])
    # A constructor or destructor is named by one of its aliases; its code sits under the other.
    for n in list(names):
        for a, b in (('C1E', 'C2E'), ('C2E', 'C1E'), ('D1E', 'D2E'), ('D2E', 'D1E')):
            if a in n:
                names.add(n.replace(a, b, 1))
    return names
# start.out.1 is what ran before the first paint; the other dumps hold the rest of the run.
dumps = sorted(glob.glob(folder + '/start.out*'))
before = entered([folder + '/start.out.1'])
after = entered(dumps) - before
print('/* Made by tools/start-up-order.sh: the code a start runs, first and together; what runs')
print('   before the window is first painted comes first. */')
print('SECTIONS\n{\n  .text.start_up :\n  {\n    *(.text.startup .text.startup.*)')
for n in sorted(before) + sorted(after):
    print(f'    *(.text.{n})')
print('  }\n}\nINSERT BEFORE .text;')
PY
echo "$out: $(grep -c '^    \*(\.text\._' "$out") functions"
