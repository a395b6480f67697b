#!/usr/bin/env bash
# Runs inside a throw-away copy of a root with OBS: installs the Debian
# package the way a user does, starts OBS without any per-user plug-in and sees
# the module load, bind the demo tone and show its dock; then removes the
# package and sees OBS start clean without it.
#
#   real-obs-package-test.sh PACKAGE WORK_DIR
set -u
package=$1
work=$2
source "$(dirname "$0")/../tools/obs-session.sh"
source "$(dirname "$0")/real-obs-checks.sh"
source "$(dirname "$0")/../tools/xvfb.sh"

# Where OBS reads system plug-ins on Debian: /usr/lib/<multiarch>/obs-plugins.
plugin_installed() { compgen -G '/usr/lib/*-linux-gnu*/obs-plugins/tovrin.so' >/dev/null; }
not() { ! "$@"; }

rm -rf "$work"
mkdir -p "$work"
tovrin_start_xvfb "$work/xvfb.log" || exit 1
trap tovrin_stop_xvfb EXIT
obs_session_prepare - "$work/home"

echo "installing $(basename "$package")"
check "the package installs with its dependencies" \
	sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -q '$package' >'$work/apt.log' 2>&1"
check "the module in OBS's system plug-in folder" plugin_installed
check "its texts in OBS's data folder" test -f /usr/share/obs/obs-plugins/tovrin/locale/en-US.ini

echo "OBS run 'installed'"
obs_session_start
check "module loaded from the system folder" obs_session_wait_log '\[tovrin\] loaded' 60
check "the demo tone bound" obs_session_wait_log "\\[tovrin\\] monitoring source 'Demo tone'" 30
obs_session_fill_screen
sleep 4
import -window root "$work/installed.png" 2>/dev/null
probe_views "$work/installed.png"
check "the dock shows both views" test "$(probed input mode)+$(probed master mode)" = spectrum+spectrum
check_quit
check "no libobs leaks at exit" has_line 'Number of memory leaks: 0'
cp "$(obs_session_log)" "$work/installed.log" 2>/dev/null

check "the package removes" sh -c "dpkg -r tovrin >>'$work/apt.log' 2>&1"
check "no module left behind" not plugin_installed
echo "OBS run 'removed'"
obs_session_start
check "OBS started without it" obs_session_wait_log '==== Startup complete' 60
sleep 2
check_quit "OBS quit cleanly without it"
check "nothing of the module in OBS's log" lacks_line 'tovrin'
cp "$(obs_session_log)" "$work/removed.log" 2>/dev/null

finish "$work"
