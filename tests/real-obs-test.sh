#!/usr/bin/env bash
# The built module in the real OBS application, under the test run's X server:
# it loads, feeds on the master mix, shows its dock docked two seconds after
# start whatever the saved layout said, and unloads cleanly when the user quits.
#
#   real-obs-test.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
tools=$(cd "$(dirname "$0")/../tools" && pwd)
source "$tools/obs-session.sh"

failures=0
check() { # check DESCRIPTION COMMAND...
	if "${@:2}"; then
		echo "  ok: $1"
	else
		echo "  FAILED: $1"
		failures=$((failures + 1))
	fi
}
has_line() { grep -Eq "$1" "$(obs_session_log)"; }
lacks_line() { ! grep -Eq "$1" "$(obs_session_log)"; }
dock_state_is() { [ "$(python3 "$tools/obs_home.py" dock-state "$OBS_HOME")" = "$1" ]; }
# A floating dock is a top-level X window of its own, titled like the dock.
no_floating_dock() { ! xwininfo -root -children | grep -q '"Tovrin"'; }
no_crash_report() { [ -z "$(ls -A "$OBS_HOME/.config/obs-studio/crashes" 2>/dev/null)" ]; }

# What the views show, read off the screenshot by their palette.
probe_views() { # probe_views SCREENSHOT
	local out
	out=$(python3 "$tools/dock_probe.py" "$1" "$work/dock.png")
	echo "$out" | sed 's/^/    /'
	# The demo tone is a -6 dBFS sine: RMS -9 dB lights 85 % of the meter.
	check "master meter shows the tone" awk '/^master/ { split($0, f, "meter_lit="); exit !(f[2] + 0 >= 0.6) }' <<<"$out"
	check "master read-out drawn" awk '/^master/ { split($0, f, "readout_pixels="); exit !(f[2] + 0 > 3) }' <<<"$out"
}

# One start of OBS with the layout saved by the previous one.
run_obs() { # run_obs NAME [probe]
	echo "OBS run '$1' ($(python3 "$tools/obs_home.py" dock-state "$OBS_HOME") before start)"
	obs_session_start
	check "module loaded" obs_session_wait_log '\[tovrin\] loaded' 60
	check "master mix flowing" obs_session_wait_log '\[tovrin\] master audio flowing \(2 ch, [0-9]+ frames\)' 30
	obs_session_fill_screen
	# The dock is put right two seconds after post-load; give it twice that.
	sleep 4
	check "no floating dock window" no_floating_dock
	import -window root "$work/$1.png" 2>/dev/null
	[ "${2:-}" = probe ] && probe_views "$work/$1.png"
	obs_session_quit
	local status=$?
	check "OBS quit cleanly (status $status)" test "$status" = 0
	check "module unloaded" has_line '\[tovrin\] unloaded'
	check "no libobs leaks at exit" has_line 'Number of memory leaks: 0'
	check "no dock refused" lacks_line '\[tovrin\] failed to add dock'
	check "no crash report" no_crash_report
	check "dock saved shown and docked" dock_state_is "visible,docked"
	cp "$(obs_session_log)" "$work/$1.log" 2>/dev/null
}

rm -rf "$work"
mkdir -p "$work"
obs_session_prepare "$build" "$work/home"

run_obs first-start probe
python3 "$tools/obs_home.py" set-dock-state "$OBS_HOME" 2 # hidden and floating
run_obs after-hidden-floating
python3 "$tools/obs_home.py" set-dock-state "$OBS_HOME" 3 # shown but floating
run_obs after-floating

echo "screenshots and logs: $work"
[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
