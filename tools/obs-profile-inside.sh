#!/usr/bin/env bash
# Runs inside the build environment (see tools/obs-profile.sh): one OBS start
# with the module (or the placeholder), held for SECONDS, its process id in build/obs-profile/pid.
set -u
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
source tools/obs-bench-session.sh
case=$1
variant=$2
seconds=$3
build=build/release
work=$PWD/build/obs-profile
mkdir -p "$work"
bench_build "$build" || exit 1
bench_session_start "$case" "$variant" "$build" "$work" || exit 1
echo "$OBS_PID" >"$work/pid"
sleep "$seconds"
bench_session_stop
