#!/usr/bin/env bash
# Builds and runs every test; exits non-zero on any failure. On a machine
# without OBS 30+ development files it first provisions a Debian 13 root, and
# always a second root with OBS 32, where the real-OBS tests run the same
# module again.
set -uo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
source tools/env.sh
source tools/test-package.sh
tovrin_env_prepare || exit 1
{
	tovrin_run bash tools/test-inside.sh
	package_build
	package_test
} | tee build/test-obs30.out
TOVRIN_OBS=32
source tools/env.sh
tovrin_env_prepare || exit 1
{
	tovrin_run bash tools/test-obs32-inside.sh
	package_test
} | tee build/test-obs32.out

# One verdict over both: the sum of every part's summary line; a version whose
# tests printed none failed.
verdict() { # verdict FILE VERSION: "PASSED FAILED"
	grep -qE "^OBS $2: [0-9]+ passed" "$1" || { echo "0 1"; return; }
	grep -E "^(OBS $2|package): [0-9]+ passed, [0-9]+ failed" "$1" |
		sed -E 's/^[^:]+: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/' | awk '{ p += $1; f += $2 } END { print p, f }'
}
read -r p30 f30 < <(verdict build/test-obs30.out 30)
read -r p32 f32 < <(verdict build/test-obs32.out 32)
echo
echo "tests: $((p30 + p32)) passed, $((f30 + f32)) failed"
[ $((f30 + f32)) = 0 ]
