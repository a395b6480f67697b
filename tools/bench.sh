#!/usr/bin/env bash
# Builds the release configuration and runs the benchmarks; prints figures.
set -euo pipefail
source "$(dirname "$0")/env.sh"
tovrin_env_prepare
tovrin_run bash -c '
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_TESTS=ON \
		-DTOVRIN_INSTALL_LAYOUT=user >/dev/null &&
	cmake --build build/release --target tovrin-tap-bench tovrin-analysis-bench tovrin-view-bench >/dev/null &&
	build/release/tests/tovrin-tap-bench && echo &&
	build/release/tests/tovrin-analysis-bench && echo &&
	build/release/tests/tovrin-view-bench && echo &&
	QT_SCALE_FACTOR=2 build/release/tests/tovrin-view-bench "" 284x126'
