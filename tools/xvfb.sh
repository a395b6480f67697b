# Sourced. Starts a private X server for libobs and OBS and exports DISPLAY.
# Xvfb picks a free display itself and names it, once it is ready, on the file
# descriptor -displayfd gives it. -noreset: by default the server resets
# whenever its last client leaves, and a test process that connects during
# that reset fails to open the display.

tovrin_start_xvfb() { # tovrin_start_xvfb [LOG] [WIDTHxHEIGHT]
	local ready display=
	ready=$(mktemp -u) && mkfifo "$ready" || return 1
	Xvfb -displayfd 3 -screen 0 "${2:-1600x1000}x24" -nolisten tcp -noreset 3>"$ready" >"${1:-/dev/null}" 2>&1 &
	TOVRIN_XVFB_PID=$!
	read -r -t 10 display <"$ready"
	rm -f "$ready"
	if [ -z "$display" ]; then
		echo "Xvfb did not start" >&2
		return 1
	fi
	export DISPLAY=":$display"
}

tovrin_stop_xvfb() {
	[ -n "${TOVRIN_XVFB_PID:-}" ] && kill "$TOVRIN_XVFB_PID" 2>/dev/null && wait "$TOVRIN_XVFB_PID" 2>/dev/null
	TOVRIN_XVFB_PID=
}
