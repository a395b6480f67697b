#!/usr/bin/env bash
# Runs inside the build environment (see tools/obs-soak.sh).
set -u
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
minutes=${1:-30}
variant=${2:-module}
work=$PWD/build/obs-soak

echo "== building the module"
cmake -S . -B build/soak -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_INSTALL_LAYOUT=user >/dev/null &&
	cmake --build build/soak >/dev/null || exit 1
rm -rf "$work"
mkdir -p "$work"
tovrin_start_xvfb "$work/xvfb.log" || exit 1
trap tovrin_stop_xvfb EXIT
obs_session_prepare build/soak "$work/home"
ready="\\[tovrin\\] monitoring source 'Demo tone'"
if [ "$variant" = none ]; then
	rm -rf "$OBS_HOME/.config/obs-studio/plugins/tovrin"
	ready='==== Startup complete'
fi
obs_session_start
obs_session_wait_log "$ready" 60 || { echo "OBS did not start, or the dock never bound the tone" >&2; exit 1; }
obs_session_fill_screen
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
obs_session_quit || echo "OBS did not quit cleanly" >&2
from=$((minutes < 5 ? 0 : 5))
awk -v a="${samples[$from]}" -v b="${samples[$minutes]}" -v f="$from" -v t="$minutes" \
	-v c="${anon[$from]}" -v d="${anon[$minutes]}" \
	'BEGIN { printf "resident memory from minute %d to %d: %+.1f MB, of it anonymous %+.1f MB\n", f, t, b - a, d - c }'
