# Sourced. Runs the real OBS application with the built module, in an OBS
# configuration of its own (HOME=$OBS_HOME), never the user's.
#
#   obs_session_prepare BUILD HOME [empty]
#                                    install the module and a demo scene there
#                                    (or one scene with no sources); BUILD -
#                                    installs no module (a system-wide one)
#   obs_session_start                start OBS (needs DISPLAY)
#   obs_session_wait_log REGEX SECS  wait until OBS's log has a matching line
#   obs_session_fill_screen          make the main window as large as the screen
#   obs_session_quit                 quit with Ctrl+Q like a user; returns OBS's status
#                                    and, on a crash, prints the kernel's line on it
#                                    and keeps it in OBS_SESSION_CRASH
#   obs_session_add_helper BUILD     install the test helper module beside it
#   obs_session_remove_helper        and take it away again

OBS_SESSION_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

obs_session_prepare() {
	local build=$1
	OBS_HOME=$2
	mkdir -p "$OBS_HOME"
	# A 1 kHz tone at -6 dBFS, looped by the demo scene's media source.
	[ -f "$OBS_HOME/tone.wav" ] || sox -q -n -r 48000 -c 2 -b 16 "$OBS_HOME/tone.wav" synth 4 sine 1000 vol 0.5
	python3 "$OBS_SESSION_TOOLS/obs_home.py" setup "$OBS_HOME" "$OBS_HOME/tone.wav" "${@:3}"
	[ "$build" = - ] || cmake --install "$build" --prefix "$OBS_HOME/.config/obs-studio/plugins" >/dev/null
}

obs_session_log() {
	ls -t "$OBS_HOME"/.config/obs-studio/logs/*.txt 2>/dev/null | head -n 1
}

obs_session_start() {
	rm -rf "$OBS_HOME/.config/obs-studio/logs"
	OBS_SESSION_KERNEL_LINES=$(dmesg 2>/dev/null | wc -l)
	HOME=$OBS_HOME XDG_CONFIG_HOME=$OBS_HOME/.config LIBGL_ALWAYS_SOFTWARE=1 \
		obs --disable-shutdown-check --disable-updater >"$OBS_HOME/obs-output.txt" 2>&1 &
	OBS_PID=$!
}

obs_session_wait_log() {
	local pattern=$1 seconds=$2 i log
	for i in $(seq 1 $((seconds * 5))); do
		log=$(obs_session_log)
		[ -n "$log" ] && grep -Eq "$pattern" "$log" && return 0
		kill -0 "$OBS_PID" 2>/dev/null || return 1
		sleep 0.2
	done
	return 1
}

obs_session_main_window() {
	xdotool search --name '^OBS [0-9]' 2>/dev/null | head -n 1
}

# There is no window manager under Xvfb: give the main window the whole screen
# so that screenshots show the dock at a useful size.
obs_session_fill_screen() {
	local win
	win=$(obs_session_main_window)
	[ -n "$win" ] && xdotool windowmove "$win" 0 0 windowsize "$win" $(xdotool getdisplaygeometry)
}

obs_session_press_quit() {
	local win
	win=$(obs_session_main_window)
	[ -n "$win" ] || return 0
	xdotool windowfocus --sync "$win" 2>/dev/null
	xdotool key --clearmodifiers ctrl+q
}

obs_session_quit() {
	local i
	OBS_SESSION_CRASH=
	obs_session_press_quit
	for i in $(seq 1 150); do
		kill -0 "$OBS_PID" 2>/dev/null || break
		# A key lost under load is pressed again, once, if OBS has not begun
		# to shut down.
		if [ "$i" = 50 ] && ! grep -q '==== Shutting down' "$(obs_session_log)" 2>/dev/null; then
			obs_session_press_quit
		fi
		sleep 0.2
	done
	if kill -0 "$OBS_PID" 2>/dev/null; then
		echo "OBS did not quit on Ctrl+Q; terminating it" >&2
		kill -TERM "$OBS_PID"
		sleep 5
		kill -KILL "$OBS_PID" 2>/dev/null
		wait "$OBS_PID" 2>/dev/null
		return 124
	fi
	wait "$OBS_PID"
	local status=$?
	[ "$status" -lt 128 ] || OBS_SESSION_CRASH=$(obs_session_crash_report)
	[ -z "$OBS_SESSION_CRASH" ] || echo "$OBS_SESSION_CRASH" >&2
	return "$status"
}

# The kernel's lines on a crash of OBS since it started: which library faulted.
obs_session_crash_report() {
	dmesg 2>/dev/null | tail -n +$((OBS_SESSION_KERNEL_LINES + 1)) | grep -E '\bobs\[[0-9]+\]: ' |
		sed 's/^/  OBS crashed: /'
}

obs_session_helper_dir() { echo "$OBS_HOME/.config/obs-studio/plugins/tovrin-bench-helper"; }

obs_session_add_helper() {
	mkdir -p "$(obs_session_helper_dir)/bin/64bit"
	cp "$1/tests/tovrin-bench-helper.so" "$(obs_session_helper_dir)/bin/64bit/"
}

obs_session_remove_helper() { rm -rf "$(obs_session_helper_dir)"; }
