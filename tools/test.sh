#!/usr/bin/env bash
# Builds and runs every test; exits non-zero on any failure. On a machine
# without OBS 30+ development files it first provisions a Debian 13 root, and
# always a second root with OBS 32, where the real-OBS tests run the same
# module again.
set -uo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
source tools/env.sh
tovrin_env_prepare || exit 1
tovrin_run bash tools/test-inside.sh | tee build/test-obs30.out
TOVRIN_OBS=32
source tools/env.sh
tovrin_env_prepare || exit 1
tovrin_run bash tools/test-obs32-inside.sh | tee build/test-obs32.out

# One verdict over both; a part that printed none failed.
verdict() { # verdict FILE VERSION: "PASSED FAILED" of its summary line
	local line
	line=$(grep -E "^OBS $2: [0-9]+ passed, [0-9]+ failed" "$1" | tail -n 1)
	if [ -n "$line" ]; then sed -E 's/^OBS [0-9]+: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/' <<<"$line"; else echo "0 1"; fi
}
read -r p30 f30 < <(verdict build/test-obs30.out 30)
read -r p32 f32 < <(verdict build/test-obs32.out 32)
echo
echo "tests: $((p30 + p32)) passed, $((f30 + f32)) failed"
[ $((f30 + f32)) = 0 ]
