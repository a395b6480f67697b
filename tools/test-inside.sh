#!/usr/bin/env bash
# Runs inside the build environment (see tools/test.sh): builds the project
# three times and runs every test.
#   build/release  all tests, the built module in the real OBS included
#   build/address  the unit, module and stress tests under AddressSanitizer+UBSan
#   build/thread   the audio hand-off stress test under ThreadSanitizer
#   build/clang    the module again with clang, and a minute of fuzzing
set -u
cd "$(dirname "$0")/.."
source tools/xvfb.sh

mkdir -p build
tovrin_start_xvfb build/xvfb.log || exit 1
trap tovrin_stop_xvfb EXIT

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

passed=0
failed=0
build() { # build NAME CMAKE_ARGS...
	echo "== building $1"
	cmake -S . -B "build/$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_TESTS=ON \
		-DTOVRIN_INSTALL_LAYOUT=user "${@:2}" >"build/$1.configure.log" 2>&1 &&
		cmake --build "build/$1" -- -j2 >"build/$1.build.log" 2>&1 && return 0
	cat "build/$1.configure.log" "build/$1.build.log" | tail -n 60
	failed=$((failed + 1))
	return 1
}
run() { # run NAME CTEST_ARGS...
	echo "== testing $1"
	local out="build/$1.ctest.log"
	ctest --test-dir "build/$1" -j2 --output-on-failure "${@:2}" 2>&1 | tee "$out" | grep -vE '^ *(Start|[0-9]+/[0-9]+ Test .* Passed)'
	local line
	line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n 1)
	if [ -z "$line" ]; then
		failed=$((failed + 1))
		return
	fi
	local total bad
	bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
	total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
	passed=$((passed + total - bad))
	failed=$((failed + bad))
}

# The monitoring core's fuzz target for a minute, on a copy of its corpus.
fuzz() {
	local seconds=${TOVRIN_FUZZ_SECONDS:-60} work=build/fuzz-corpus
	echo "== fuzzing the monitoring core for $seconds s"
	rm -rf "$work" build/fuzz-crash-*
	cp -r tests/fuzz/corpus "$work"
	if build/clang/tests/fuzz/tovrin-monitor-fuzz -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=256 \
		-artifact_prefix=build/fuzz-crash- "$work" >build/fuzz.log 2>&1; then
		passed=$((passed + 1))
		grep -E '^Done [0-9]+ runs' build/fuzz.log
	else
		failed=$((failed + 1))
		tail -n 40 build/fuzz.log
	fi
}

build release -DTOVRIN_WERROR=ON && run release
build address -DTOVRIN_SANITIZE=address && run address -L 'unit|module|stress'
build thread -DTOVRIN_SANITIZE=thread && run thread -L stress
build clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTOVRIN_WERROR=ON -DTOVRIN_TESTS=OFF \
	-DTOVRIN_FUZZ=ON && passed=$((passed + 1)) && fuzz

echo
echo "OBS 30: $passed passed, $failed failed"
[ "$failed" = 0 ]
