#!/usr/bin/env bash
# Whether the dock leaks in the real OBS over time: OBS 30 with the demo tone
# playing, started as the cost benchmark starts it for CASE and VARIANT (see
# tools/obs-cost.sh), for MINUTES (30 by default), its resident memory sampled
# each minute; prints the samples and the growth after the first five
# minutes. Figures, not pass/fail; outside the test command.
#   tools/obs-soak.sh [MINUTES] [CASE] [VARIANT]
# CASE is default-spectrum by default; VARIANT module (the default), none for
# what OBS alone grows by, or placeholder. CASE default-floor with module
# gives the helper's dock that fills the views' areas at every tick: what any
# dock repainting that much grows OBS by.
set -u
source "$(dirname "$0")/env.sh"
tovrin_enter "$@"
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
source tools/obs-bench-session.sh
minutes=${1:-30}
case=${2:-default-spectrum}
variant=${3:-module}
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
