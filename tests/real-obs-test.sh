#!/usr/bin/env bash
# The built module in the real OBS application, under the test run's X server:
# it loads, feeds on the master mix, shows its dock docked two seconds after
# start whatever the saved layout said, and unloads cleanly when the user quits.
#
#   real-obs-test.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
source "$(dirname "$0")/../tools/obs-session.sh"
source "$(dirname "$0")/real-obs-checks.sh"

dock_state_is() { [ "$(python3 "$tools/obs_home.py" dock-state "$OBS_HOME")" = "$1" ]; }
# A floating dock is a top-level X window of its own, titled like the dock.
no_floating_dock() { ! xwininfo -root -children | grep -q '"Tovrin"'; }

# The demo tone, a -6 dBFS sine of 1 kHz, in the master view's spectrum.
check_tone_spectrum() {
	probe_views "$work/$1.png" "$work/dock.png"
	# RMS -9 dB lights 85 % of the meter.
	check "master meter shows the tone" at_least "$(probed master meter_lit)" 0.6
	check "master read-out drawn" at_least "$(probed master readout_pixels)" 4
	check "master view in spectrum mode" test "$(probed master mode)" = spectrum
	# One column of a 267-pixel plot spans 2.6 % of frequency.
	check "spectrum peaks at 1 kHz ($(probed master peak_hz) Hz)" \
		awk -v hz="$(probed master peak_hz)" 'BEGIN { exit !(hz >= 930 && hz <= 1070) }'
}

# Picks "Waveform" in the mode list the way a user does: a click on the list
# (the row above the upper view), then Down and Return.
switch_to_waveform() {
	local box
	read -ra box <<<"$(probed_box input)"
	xdotool windowfocus --sync "$(obs_session_main_window)"
	xdotool mousemove $((box[0] + 88)) $((box[1] - 28))
	sleep 0.3
	xdotool mousedown 1
	sleep 0.1
	xdotool mouseup 1
	sleep 1
	xdotool key Down
	sleep 0.3
	xdotool key Return
	sleep 1
	import -window root "$work/$1-waveform.png" 2>/dev/null
	probe_views "$work/$1-waveform.png" "$work/dock-waveform.png"
	check "both views switched to waveform" test "$(probed input mode)+$(probed master mode)" = waveform+waveform
}

check_waveform_restored() {
	probe_views "$work/$1.png" "$work/dock-restored.png"
	check "waveform mode came back from the profile" test "$(probed master mode)" = waveform
}

profile_mode_is() { [ "$(profile_value DisplayMode)" = "$1" ]; }

# One start of OBS with the layout saved by the previous one; HOOK runs on the
# screenshot while OBS is still up.
run_obs() { # run_obs NAME [HOOK...]
	echo "OBS run '$1' ($(python3 "$tools/obs_home.py" dock-state "$OBS_HOME") before start)"
	obs_session_start
	check "module loaded" obs_session_wait_log '\[tovrin\] loaded' 60
	check "master mix flowing" obs_session_wait_log '\[tovrin\] master audio flowing \(2 ch, [0-9]+ frames\)' 30
	obs_session_fill_screen
	# The dock is put right two seconds after post-load; give it twice that.
	sleep 4
	check "no floating dock window" no_floating_dock
	import -window root "$work/$1.png" 2>/dev/null
	local hook
	for hook in "${@:2}"; do "$hook" "$1"; done
	check_quit
	check "module unloaded" has_line '\[tovrin\] unloaded'
	check "no libobs leaks at exit" has_line 'Number of memory leaks: 0'
	check "no dock refused" lacks_line '\[tovrin\] failed to add dock'
	check "the demo tone was bound" has_line "\\[tovrin\\] monitoring source 'Demo tone'"
	check "no source held at exit" lacks_line 'Not all sources were cleared'
	check "the chosen source is still saved after exit" profile_keeps_the_demo_tone
	check "no crash report" no_crash_report
	check "dock saved shown and docked" dock_state_is "visible,docked"
	cp "$(obs_session_log)" "$work/$1.log" 2>/dev/null
}

# The same OBS and configuration without the module: the faults OBS's log
# holds anyway, which the runs with it may not add to.
run_bare_obs() {
	local plugins=$OBS_HOME/.config/obs-studio/plugins
	echo "OBS run 'bare' (without the module)"
	mv "$plugins" "$work/plugins-aside"
	obs_session_start
	check "OBS without the module started" obs_session_wait_log '==== Startup complete' 60
	sleep 4
	check_quit "OBS without the module quit cleanly"
	cp "$(obs_session_log)" "$work/bare.log"
	mv "$work/plugins-aside" "$plugins"
	local run
	for run in "$@"; do
		check "no fault in '$run' that OBS without the module has not" no_faults_beyond "$work/$run.log" "$work/bare.log"
	done
}

rm -rf "$work"
mkdir -p "$work"
obs_session_prepare "$build" "$work/home"

run_obs first-start check_tone_spectrum switch_to_waveform
check "the mode was saved in the profile" profile_mode_is 1
python3 "$tools/obs_home.py" set-dock-state "$OBS_HOME" 2 # hidden and floating
run_obs after-hidden-floating check_waveform_restored
python3 "$tools/obs_home.py" set-dock-state "$OBS_HOME" 3 # shown but floating
run_obs after-floating
run_bare_obs first-start after-hidden-floating after-floating

finish "$work"
