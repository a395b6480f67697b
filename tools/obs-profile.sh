#!/usr/bin/env bash
# Where the dock's time goes in the real OBS: samples OBS's call stacks with
# perf (on this machine, outside the build root) while OBS runs with the module
# docked at its default size, and splits them into our painting, the views'
# tick, the slow refresh, Qt's repaint and composition, the flush to the
# display and the rest of OBS.
#   tools/obs-profile.sh [CASE] [SECONDS] [VARIANT]
# CASE and VARIANT (module or placeholder) as for tools/obs-cost.sh.
set -euo pipefail
source "$(dirname "$0")/env.sh"
case=${1:-default-spectrum}
seconds=${2:-15}
variant=${3:-module}
hz=250
if ! command -v perf >/dev/null; then
	[ "$(id -u)" = 0 ] || tovrin_die "perf is missing and only root can install it"
	tovrin_say "installing perf on this machine"
	DEBIAN_FRONTEND=noninteractive apt-get install -y -q linux-perf >/dev/null
fi
tovrin_env_prepare
out=$TOVRIN_SRC/build/obs-profile
mkdir -p "$out"
rm -f "$out/pid"
tovrin_run bash tools/obs-profile-inside.sh "$case" "$variant" $((seconds + 12)) &
session=$!
for _ in $(seq 1 1200); do
	[ -s "$out/pid" ] && break
	sleep 0.5
done
[ -s "$out/pid" ] || tovrin_die "OBS did not start; see $out"
pid=$(cat "$out/pid")
sleep 6 # settle
perf record -q -e cpu-clock -F "$hz" --call-graph dwarf,16384 -p "$pid" -o "$out/perf.data" -- sleep "$seconds" 2>/dev/null
wait "$session" || true
# The binaries are those of the root (or of this machine), the module's are in the work tree.
symfs=$out/symfs
rm -rf "$symfs"
mkdir -p "$symfs"
root=/
[ "$TOVRIN_MODE" = root ] && root=$TOVRIN_ROOT
for d in usr lib lib64 bin; do ln -s "$root/$d" "$symfs/$d"; done
ln -s "$TOVRIN_SRC" "$symfs/${TOVRIN_SRC#/}" 2>/dev/null || { mkdir -p "$symfs/$(dirname "${TOVRIN_SRC#/}")" && ln -s "$TOVRIN_SRC" "$symfs/${TOVRIN_SRC#/}"; }
perf script -i "$out/perf.data" --symfs="$symfs" --no-inline -F comm,tid,ip,sym,dso 2>/dev/null >"$out/perf.txt"
python3 "$TOVRIN_SRC/tools/obs_profile.py" "$out/perf.txt" "$pid" "$seconds" "$hz"
