# Sourced by tools/test.sh. package_build makes the Debian package and the
# source tarball in the build environment; package_test installs the package
# into a throw-away copy of the current root (hard links: dpkg replaces files
# by renaming them, so the original stays as it was) and runs the package test
# there. Each prints "package: N passed, N failed".

package_build() {
	local build=build/package log=build/package.log
	echo "== building the package"
	if tovrin_run bash -c "cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
		-DTOVRIN_INSTALL_LAYOUT=system >$log 2>&1 && cmake --build $build >>$log 2>&1 &&
		cd $build && cpack -G DEB >>../package.log 2>&1 && cpack --config CPackSourceConfig.cmake >>../package.log 2>&1"; then
		ls "$build"/*.deb "$build"/*.tar.gz | sed 's/^/  built: /'
		echo "package: 1 passed, 0 failed"
	else
		tail -n 30 "$log"
		echo "package: 0 passed, 1 failed"
	fi
}

package_test() {
	[ "$TOVRIN_MODE" = root ] || { echo "  (no root to copy: the package test runs only in a provisioned root)"; return; }
	local deb copy root=$TOVRIN_ROOT name
	name=$(basename "$TOVRIN_ROOT")
	deb=$(ls build/package/tovrin_*.deb 2>/dev/null | head -n 1)
	[ -n "$deb" ] || { echo "package: 0 passed, 1 failed"; return; }
	copy=$TOVRIN_CACHE/package-test-root
	rm -rf "$copy"
	cp -al "$root" "$copy"
	echo "== testing the package in a copy of $name"
	TOVRIN_ROOT=$copy tovrin_run bash tests/real-obs-package-test.sh "$TOVRIN_SRC/$deb" "build/package/real-obs-$name" |
		tee build/package-test.out | grep -vE '^  ok:'
	rm -rf "$copy"
	if grep -q '^screenshots and logs' build/package-test.out && ! grep -q 'check(s) failed' build/package-test.out; then
		echo "package: 1 passed, 0 failed"
	else
		echo "package: 0 passed, 1 failed"
	fi
}
