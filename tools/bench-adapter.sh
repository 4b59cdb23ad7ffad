#!/bin/sh
# Times the openMSX adapter (mess.exe) from its start to openMSX's: a launch on a cold cache
# and on a warm one, over openMSX's installed machine descriptions and 100 ROM files, the
# user's machine among them. The stand-in openMSX answers -testconfig in 0.1 s (a real one
# takes 0.09-0.18 s) and otherwise ends at once, so what is timed is the adapter's own work.
#   tools/bench-adapter.sh ADAPTER [RUNS]
set -eu
adapter=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home/.openMSX/share/systemroms" "$work/run"
chmod 700 "$work/run"
cat > "$work/bin/openmsx" <<'SH'
#!/bin/sh
[ "$1" != -testconfig ] || { sleep 0.1; exit 0; }
exit 0
SH
chmod +x "$work/bin/openmsx"
i=0
while [ $i -lt 100 ]; do
    head -c 32768 /dev/urandom > "$work/home/.openMSX/share/systemroms/rom$i.rom"
    i=$((i + 1))
done
# The user's machine: the ROMs of the 20th that could take a disk on MSX2J, by name.
for f in $(grep -o '<filename>[^<]*</filename>' /usr/share/openmsx/machines/Sony_HB-F1XV.xml | sed 's/<[^>]*>//g'); do
    head -c 32768 /dev/urandom > "$work/home/.openMSX/share/systemroms/$f"
done
touch "$work/disk.dsk"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" TARUMIN_OPENMSX="$work/bin/openmsx"
unset XDG_CACHE_HOME TARUMIN_OPENMSX_MACHINES TARUMIN_MSX2J_MACHINE TARUMIN_MSXJ_MACHINE
ms() { date +%s%N | cut -c1-13; }
pool="$work/home/.openMSX/share/settings.xml"
launch() {
    start=$(ms)
    (cd "$work" && "$adapter" MSX2J -flop disk.dsk) > /dev/null 2>&1 || true
    echo $(( $(ms) - start ))
}
start=$(ms); "$work/bin/openmsx" -machine x; floor=$(( $(ms) - start ))
median() { printf '%s\n' $1 | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "machine descriptions: $(ls /usr/share/openmsx/machines/*.xml | wc -l) ($(grep -l '<keyboard_type>jp_' /usr/share/openmsx/machines/*.xml | wc -l) Japanese), ROM files: $(ls "$work/home/.openMSX/share/systemroms" | wc -l)"
echo "the stand-in openMSX alone: ${floor} ms"
# Without a file pool, then with openMSX's file pool holding 20,000 games (-types rom disk tape).
for with in "no pool" "a 20000-file game pool"; do
    if [ "$with" != "no pool" ]; then
        mkdir -p "$work/pool"
        (cd "$work/pool" && for i in $(seq 1 20000); do printf 'game %s' "$i" > "$i.rom"; done)
        printf '<settings><setting id="__filepool">{-path systemroms -types system_rom} {-path %s -types {rom disk tape}}</setting></settings>\n' "$work/pool" > "$pool"
    fi
    cold="" warm=""
    n=0
    while [ $n -lt "$runs" ]; do
        rm -rf "$work/home/.cache"
        cold="$cold $(launch)"
        warm="$warm $(launch)"
        n=$((n + 1))
    done
    echo "$with: cold cache, ms:$cold (median $(median "$cold"))"
    echo "$with: warm cache, ms:$warm (median $(median "$warm"))"
done
