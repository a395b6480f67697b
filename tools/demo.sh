#!/usr/bin/env bash
# Builds the module, installs it into an OBS configuration of its own
# (build/demo-home, never yours) with a demo scene looping a test tone, and
# starts the real OBS with it: on your display if there is one, otherwise under
# Xvfb for a while (default 20 s), ending with a screenshot.
#   tools/demo.sh [SECONDS]
set -u
source "$(dirname "$0")/env.sh"
export TOVRIN_SHARE_DISPLAY=1
tovrin_enter "$@"
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
seconds=${1:-20}

echo "== building the module"
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_INSTALL_LAYOUT=user >build/demo.configure.log 2>&1 &&
	cmake --build build/demo >build/demo.build.log 2>&1 || {
	tail -n 40 build/demo.configure.log build/demo.build.log
	exit 1
}
obs_session_prepare build/demo "$PWD/build/demo-home"
echo "== OBS configuration of its own: $OBS_HOME/.config/obs-studio"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
	echo "== starting OBS on $DISPLAY; quit it to end the demo"
	obs_session_start
	wait "$OBS_PID"
	echo "OBS log: $(obs_session_log)"
	exit 0
fi

tovrin_start_xvfb build/demo-xvfb.log || exit 1
trap tovrin_stop_xvfb EXIT
echo "== no display: running OBS under Xvfb ($DISPLAY) for $seconds seconds"
obs_session_start
obs_session_wait_log '\[tovrin\] loaded' 60 || echo "OBS did not log that the module loaded" >&2
sleep "$seconds"
import -window root "$OBS_HOME/screenshot.png"
obs_session_quit
status=$?
echo "screenshot: $OBS_HOME/screenshot.png"
echo "OBS log:    $(obs_session_log)"
exit $status
