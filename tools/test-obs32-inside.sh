#!/usr/bin/env bash
# Runs inside the OBS 32 root (see tools/test.sh): the real-OBS tests against
# OBS 32 with the module built in build/release against OBS 30.
set -u
cd "$(dirname "$0")/.."
source tools/xvfb.sh

tovrin_start_xvfb build/xvfb-obs32.log || exit 1
trap tovrin_stop_xvfb EXIT
echo "== testing release in $(obs --version 2>/dev/null | head -n 1)"
passed=0
failed=0
for t in real-obs-test:real-obs-32 real-obs-remote-test:real-obs-remote-32 real-obs-hostile-test:real-obs-hostile-32; do
	log="build/${t#*:}.log"
	if bash "tests/${t%%:*}.sh" build/release "build/release/${t#*:}" >"$log" 2>&1; then
		passed=$((passed + 1))
		echo "  passed: ${t%%:*} (OBS 32)"
		grep -E '^  known:' "$log" | sed 's/^/  /'
	else
		failed=$((failed + 1))
		echo "  FAILED: ${t%%:*} (OBS 32)"
		grep -E 'FAILED|failed' "$log" | sed 's/^/    /'
	fi
done
echo "OBS 32: $passed passed, $failed failed"
[ "$failed" = 0 ]
