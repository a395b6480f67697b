# Sourced. Starts a private X server for libobs and OBS and exports DISPLAY.
# -noreset: by default the server resets whenever its last client leaves, and a
# test process that connects during that reset fails to open the display.

tovrin_start_xvfb() { # tovrin_start_xvfb [LOG] [WIDTHxHEIGHT]
	local n=90
	while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
	Xvfb ":$n" -screen 0 "${2:-1600x1000}x24" -nolisten tcp -noreset >"${1:-/dev/null}" 2>&1 &
	TOVRIN_XVFB_PID=$!
	export DISPLAY=":$n"
	local i
	for i in $(seq 1 100); do
		xdpyinfo >/dev/null 2>&1 && return 0
		sleep 0.1
	done
	echo "Xvfb did not start on $DISPLAY" >&2
	return 1
}

tovrin_stop_xvfb() {
	[ -n "${TOVRIN_XVFB_PID:-}" ] && kill "$TOVRIN_XVFB_PID" 2>/dev/null && wait "$TOVRIN_XVFB_PID" 2>/dev/null
	TOVRIN_XVFB_PID=
}
