# Sourced by the real-OBS tests, after tools/obs-session.sh: named checks that
# count failures, and readings of OBS's log, profile and screenshots.
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tools" && pwd)

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
count_lines() { grep -Ec "$1" "$(obs_session_log)"; }
no_crash_report() { [ -z "$(ls -A "$OBS_HOME/.config/obs-studio/crashes" 2>/dev/null)" ]; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 >= b + 0) }'; }

# Quits OBS and checks its status. One crash is OBS's own and not counted, only
# named: obs-websocket's, on its network thread in its shutdown, once this
# module has unloaded (OBS 32's obs-websocket 5.7 does it now and then, with no
# client connected).
check_quit() { # check_quit [WHAT]
	obs_session_quit
	local status=$?
	if [ "$status" = 139 ] && obs_websocket_crashed_after_module; then
		echo "  known: ${1:-OBS quit cleanly}: obs-websocket crashed in its own shutdown, after the module had gone"
		return
	fi
	check "${1:-OBS quit cleanly} (status $status)" test "$status" = 0
}
obs_websocket_crashed_after_module() {
	grep -q ' in obs-websocket\.so\[' <<<"$OBS_SESSION_CRASH" || return 1
	local log unloaded stopping
	log=$(obs_session_log)
	stopping=$(grep -n -m1 '\[obs-websocket\] \[obs_module_unload\] Shutting down' "$log" | cut -d: -f1)
	[ -n "$stopping" ] || return 1
	grep -q '\[tovrin\] loaded' "$log" || return 0
	unloaded=$(grep -n -m1 '\[tovrin\] unloaded' "$log" | cut -d: -f1)
	[ -n "$unloaded" ] && [ "$unloaded" -lt "$stopping" ]
}

# Lines of an OBS log that report a fault, without their times and numbers.
fault_lines() { # fault_lines LOG
	sed -E 's/^[0-9:.]+: //' "$1" | grep -iE 'error|fail|tried to call|could not|unable|invalid' |
		sed -E 's/[0-9]+/N/g' | sort
}
# Those of LOG that OBS without the module, in BARE_LOG, did not have.
no_faults_beyond() { # no_faults_beyond LOG BARE_LOG
	local extra
	extra=$(comm -13 <(fault_lines "$2") <(fault_lines "$1"))
	[ -z "$extra" ] || { echo "$extra" | sed 's/^/    /'; return 1; }
}

# A key of the dock's section in the profile the tests use.
profile_value() { # profile_value KEY [PROFILE]
	python3 "$tools/obs_home.py" profile-get "$OBS_HOME" Tovrin "$1" "${2:-Tovrin}"
}

# Whether the profile's saved source is the demo scene's tone.
profile_keeps_the_demo_tone() {
	local tone
	tone=$(python3 -c 'import json, sys; print(next(s["uuid"] for s in json.load(open(sys.argv[1]))["sources"] if s["name"] == "Demo tone"))' \
		"$OBS_HOME/.config/obs-studio/basic/scenes/Tovrin.json")
	[ "$(profile_value SourceUuid)" = "$tone" ]
}

# What the views show, read off a screenshot by their palette.
probe_views() { # probe_views SCREENSHOT [CROP]
	PROBE=$(python3 "$tools/dock_probe.py" "$@")
	echo "$PROBE" | sed 's/^/    /'
}
probed() { # probed VIEW FIELD: a value of the last probe
	awk -v view="$1" -v field="$2=" '$1 == view { split($0, f, field); split(f[2], v, " "); print v[1] }' <<<"$PROBE"
}

probed_box() { # probed_box VIEW: its left, top, right and bottom in the last probe
	sed -n "s/^$1 box=(\([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)).*/\1 \2 \3 \4/p" <<<"$PROBE"
}

# Ends the test with its verdict.
finish() { # finish WORK_DIR
	echo "screenshots and logs: $1"
	[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
}
