#!/usr/bin/env bash
# The real OBS with the configurations a user's may differ in: other output
# rates, a 5.1 layout, stored values the module never writes, no locale
# folder, and a quit right after start. In each run OBS stays up and quits
# with status 0 and no leaks, the dock paints, and the module logs no fault.
#
#   real-obs-hostile-test.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
source "$(dirname "$0")/../tools/obs-session.sh"
source "$(dirname "$0")/real-obs-checks.sh"

set_profile() { python3 "$tools/obs_home.py" profile-set "$OBS_HOME" "$@"; }
locale_dir() { echo "$OBS_HOME/.config/obs-studio/plugins/tovrin/data/locale"; }

# One start of OBS; HOOK reads the screenshot while OBS is up.
hostile_run() { # hostile_run NAME HOOK
	echo "OBS run '$1'"
	obs_session_start
	check "module loaded" obs_session_wait_log '\[tovrin\] loaded' 60
	check "the demo tone bound" obs_session_wait_log "\\[tovrin\\] monitoring source 'Demo tone'" 30
	obs_session_fill_screen
	sleep 4
	import -window root "$work/$1.png" 2>/dev/null
	probe_views "$work/$1.png"
	check "both views painted, spectrum" test "$(probed input mode)+$(probed master mode)" = spectrum+spectrum
	"$2"
	check_quit
	check "no libobs leaks at exit" has_line 'Number of memory leaks: 0'
	check "no crash report" no_crash_report
	check "no fault logged by the module" lacks_line '\[tovrin\].*(error|fail)'
	cp "$(obs_session_log)" "$work/$1.log" 2>/dev/null
}

# The 1 kHz demo tone where it belongs on the master view's frequency scale.
tone_at_1khz() {
	check "master mix flowing as stereo" has_line '\[tovrin\] master audio flowing \(2 ch, [0-9]+ frames\)'
	check "master spectrum peaks at 1 kHz ($(probed master peak_hz) Hz)" \
		awk -v hz="$(probed master peak_hz)" 'BEGIN { exit !(hz >= 930 && hz <= 1070) }'
}

# Stored values the module never writes read as spectrum and stay as they are;
# a saved uuid of no source binds the fallback, which the profile then keeps.
stored_values_kept() {
	tone_at_1khz
	check "unknown keys left alone" test "$(profile_value Unknown)" = kept
	check "the fallback saved" profile_keeps_the_demo_tone
}

# The bound source arrives with CHANNELS planes and shows its tone above.
source_flows() { # source_flows CHANNELS
	check "the source flowing with $1 channel(s)" has_line "\[tovrin\] source audio flowing \($1 ch, [0-9]+ frames\)"
	check "input meter shows the tone" at_least "$(probed input meter_lit)" 0.6
	check "input spectrum peaks at 1 kHz ($(probed input peak_hz) Hz)" \
		awk -v hz="$(probed input peak_hz)" 'BEGIN { exit !(hz >= 930 && hz <= 1070) }'
}
surround_source() {
	tone_at_1khz
	source_flows 6
}
# The master mix comes converted to stereo whatever the output's layout.
mono_output() {
	tone_at_1khz
	source_flows 1
}
# The looping tone is bad for 0.2 s in every 4: by the picture, 4 s on, the
# meter is back at the tone's level.
non_finite_source() { source_flows 2; }

# The demo source's file replaced: the same scene, other audio.
demo_tone() { # demo_tone CHANNELS
	sox -q -n -r 48000 -c "$1" -b 16 "$OBS_HOME/tone.wav" synth 4 sine 1000 vol 0.5
}
# 32-bit float, mono: the tone with 0.2 s of NaN, +inf and -inf at its start.
non_finite_tone() {
	python3 - "$OBS_HOME/tone.wav" <<'PY'
import math, struct, sys
rate, n = 48000, 4 * 48000
bad = [float("nan"), float("inf"), float("-inf")]
samples = [bad[i % 3] if i < rate // 5 else 0.5 * math.sin(2 * math.pi * 1000 * i / rate) for i in range(n)]
data = struct.pack("<%df" % n, *samples)
fmt = struct.pack("<HHIIHH", 3, 1, rate, rate * 4, 4, 32)
with open(sys.argv[1], "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
    f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)
PY
}

# Without its locale folder the dock shows its keys and works.
texts_are_keys() {
	tone_at_1khz
	check "a title drawn from its key" at_least "$(probed input title_width)" 40
}

rm -rf "$work"
mkdir -p "$work"
obs_session_prepare "$build" "$work/home"

for rate in 44100 96000; do
	set_profile Audio SampleRate "$rate"
	hostile_run "rate-$rate" tone_at_1khz
done
set_profile Audio SampleRate 48000
set_profile Audio ChannelSetup 5.1
demo_tone 6
hostile_run surround surround_source
set_profile Audio ChannelSetup Mono
demo_tone 1
hostile_run mono mono_output
set_profile Audio ChannelSetup Stereo
non_finite_tone
hostile_run non-finite non_finite_source
demo_tone 2

for stored in 2:garbage -1: waveform:00000000-0000-0000-0000-000000000000; do
	set_profile Tovrin DisplayMode "${stored%%:*}"
	set_profile Tovrin SourceUuid "${stored#*:}"
	set_profile Tovrin Unknown kept
	hostile_run "stored-${stored%%:*}" stored_values_kept
	check "stored mode ${stored%%:*} not rewritten" test "$(profile_value DisplayMode)" = "${stored%%:*}"
done

# OBS in German, and the test helper module reading the dock's widget tree.
german_texts() {
	check "the dock's texts come in German" obs_session_wait_log '\[tovrin-bench\] text: Quelle$' 10
	check "its mode list in German" has_line '\[tovrin-bench\] text: Spektrum$'
	check "its buttons in German" has_line '\[tovrin-bench\] text: Stumm$'
}
python3 "$tools/obs_home.py" app-set "$OBS_HOME" General Language de-DE
obs_session_add_helper "$build"
export TOVRIN_BENCH_TEXTS=1
hostile_run german german_texts
unset TOVRIN_BENCH_TEXTS
obs_session_remove_helper
python3 "$tools/obs_home.py" app-set "$OBS_HOME" General Language en-US

mv "$(locale_dir)" "$work/locale-aside"
hostile_run no-locale texts_are_keys
mv "$work/locale-aside" "$(locale_dir)"

# Ctrl+Q as soon as the main window exists, again until OBS takes it: a key
# sent before the window is mapped goes nowhere.
quit_at_once() {
	local win i
	for i in $(seq 1 300); do
		kill -0 "$OBS_PID" 2>/dev/null || break
		win=$(obs_session_main_window)
		[ -n "$win" ] && xdotool windowfocus "$win" key --clearmodifiers ctrl+q 2>/dev/null
		sleep 0.1
	done
	wait "$OBS_PID"
}

echo "OBS run 'quick-quit'"
started=$(date +%s%N)
obs_session_start
quit_at_once
status=$?
echo "    OBS ended $((($(date +%s%N) - started) / 1000000)) ms after start; shut down at $(grep -m1 -o '^[0-9:.]*: ==== Shutting down' "$(obs_session_log)")"
check "OBS quit right after start cleanly (status $status)" test "$status" = 0
check "module unloaded" has_line '\[tovrin\] unloaded'
check "no libobs leaks at exit" has_line 'Number of memory leaks: 0'
cp "$(obs_session_log)" "$work/quick-quit.log" 2>/dev/null

finish "$work"
