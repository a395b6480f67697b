# Sourced, after tools/xvfb.sh and tools/obs-session.sh. One start of the real
# OBS for the cost benchmarks, on an X server of its own sized for the case:
#
#   bench_build BUILD                             build the module and the helper
#   bench_session_start CASE VARIANT BUILD WORK   start OBS; waits until the
#                                                 dock is placed
#   bench_session_stop                            quit OBS, stop the X server
#
# CASE is default, large, dpr2, closed or silent, with -spectrum or -waveform
# for the module's mode; VARIANT is module (the product, or the build of it
# that OBS_COST_MODULE names), placeholder (a dock of the same id, size and
# place that never repaints) or none (no dock). The module of CASE default-floor,
# large-floor or dpr2-floor is the helper's dock that fills two areas of the
# views' size there whole at every tick; that of default-nomixer is the
# placeholder with OBS's own Audio Mixer dock hidden.

# The module and the helper, built in BUILD (the release configuration).
bench_build() { # bench_build BUILD
	cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_TESTS=ON \
		-DTOVRIN_INSTALL_LAYOUT=user >"$1.configure.log" 2>&1 &&
		cmake --build "$1" --target tovrin tovrin-bench-helper >"$1.build.log" 2>&1 && return 0
	tail -n 40 "$1.configure.log" "$1.build.log"
	return 1
}

bench_screen() { case $1 in large*) echo 2000x1400 ;; dpr2*) echo 3200x2000 ;; *) echo 1600x1000 ;; esac; }

bench_session_start() {
	local case=$1 variant=$2 build=$3 work=$4 empty=
	[ "$case" = silent ] && empty=empty
	rm -rf "$work/home-$case-$variant"
	obs_session_prepare "$build" "$work/home-$case-$variant" $empty
	local plugins=$OBS_HOME/.config/obs-studio/plugins
	[ "$variant" = module ] && [ "$case" = "${case%-floor}" ] && [ "$case" = "${case%-nomixer}" ] ||
		rm -rf "$plugins/tovrin"
	# Another build of the module in its place, to hold two versions side by side.
	[ "$variant" = module ] && [ -n "${OBS_COST_MODULE:-}" ] && cp "$OBS_COST_MODULE" "$plugins/tovrin/bin/64bit/tovrin.so"
	[ "$variant" = none ] || obs_session_add_helper "$build"
	[ "$case" = "${case%-waveform}" ] || python3 "$OBS_SESSION_TOOLS/obs_home.py" profile-set "$OBS_HOME" Tovrin DisplayMode 1

	tovrin_start_xvfb "$work/xvfb.log" "$(bench_screen "$case")" || return 1
	local vars=()
	[ "$variant" = placeholder ] && vars+=(TOVRIN_BENCH_PLACEHOLDER=1)
	[ "$variant" = module ] && [ "$case" != "${case%-floor}" ] && vars+=(TOVRIN_BENCH_PLACEHOLDER=2)
	[ "$variant" = module ] && [ "$case" != "${case%-nomixer}" ] && vars+=(TOVRIN_BENCH_PLACEHOLDER=1 TOVRIN_BENCH_HIDE_MIXER=1)
	# The views' size in the product at each dock size.
	case $case in
	large*) vars+=(TOVRIN_BENCH_DOCK=800x1000 TOVRIN_BENCH_VIEWS=784x409) ;;
	*) vars+=(TOVRIN_BENCH_DOCK=300x452 TOVRIN_BENCH_VIEWS=284x126) ;;
	esac
	[ "${case#dpr2}" = "$case" ] || vars+=(QT_SCALE_FACTOR=2)
	[ "$case" = closed ] && vars+=(TOVRIN_BENCH_HIDE=1)
	export "${vars[@]}"
	obs_session_start
	unset TOVRIN_BENCH_PLACEHOLDER TOVRIN_BENCH_DOCK TOVRIN_BENCH_VIEWS QT_SCALE_FACTOR TOVRIN_BENCH_HIDE TOVRIN_BENCH_HIDE_MIXER
	obs_session_wait_log '==== Startup complete' 60 || return 1
	sleep 1
	obs_session_fill_screen
	[ "$variant" = none ] || obs_session_wait_log '\[tovrin-bench\] placed' 30
}

# What the helper module logged of the dock it placed.
bench_session_placement() {
	grep -ho '\[tovrin-bench\] placed: .*' "$(obs_session_log)" | sed 's/.*placed: //'
}

bench_session_stop() {
	obs_session_quit >/dev/null
	tovrin_stop_xvfb
}
