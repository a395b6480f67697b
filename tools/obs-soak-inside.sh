#!/usr/bin/env bash
# Runs inside the build environment (see tools/obs-soak.sh).
set -u
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
source tools/obs-bench-session.sh
minutes=$1
case=$2
variant=$3
build=build/release
work=$PWD/build/obs-soak

echo "== building the module and the benchmark's helper module"
bench_build "$build" || exit 1
rm -rf "$work"
mkdir -p "$work"
trap bench_session_stop EXIT
bench_session_start "$case" "$variant" "$build" "$work" || { echo "OBS did not start" >&2; exit 1; }
# Anonymous memory is what a leak grows; file-backed pages (libraries, fonts)
# come and go with use.
echo "minute rssMB anonMB fileMB"
samples=()
anon=()
for minute in $(seq 0 "$minutes"); do
	[ "$minute" = 0 ] || sleep 60
	kill -0 "$OBS_PID" 2>/dev/null || { echo "OBS ended early" >&2; exit 1; }
	read -r rss an file < <(awk '/^VmRSS/ {r = $2} /^RssAnon/ {a = $2} /^RssFile/ {f = $2}
		END { printf "%.1f %.1f %.1f", r / 1024, a / 1024, f / 1024 }' "/proc/$OBS_PID/status")
	samples+=("$rss")
	anon+=("$an")
	echo "$minute $rss $an $file" | tee -a "$work/rss.txt"
done
from=$((minutes < 5 ? 0 : 5))
awk -v a="${samples[$from]}" -v b="${samples[$minutes]}" -v f="$from" -v t="$minutes" \
	-v c="${anon[$from]}" -v d="${anon[$minutes]}" -v k="$case $variant" \
	'BEGIN { printf "%s: resident memory from minute %d to %d: %+.1f MB, of it anonymous %+.1f MB\n", k, f, t, b - a, d - c }'
