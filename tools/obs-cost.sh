#!/usr/bin/env bash
# What the dock costs the real OBS: OBS's whole-process CPU and resident memory
# with the module, against the same OBS with a placeholder dock of the same id,
# size and place that never repaints, and against OBS without any dock. Runs
# alternate within one session; figures, not pass/fail.
#   tools/obs-cost.sh [ROUNDS] [CASE...]
# Cases: default-spectrum default-waveform large-spectrum large-waveform
# dpr2-spectrum dpr2-waveform closed silent (all by default), and
# default-floor, large-floor and dpr2-floor: a dock filling two areas of the
# views' size whole at every tick, the least that views changing whole 30
# times a second can cost; and default-nomixer: the placeholder dock with OBS's
# own Audio Mixer dock hidden, what OBS's own meters cost beside ours.
# OBS_COST_SETTLE and OBS_COST_SECONDS set the settling time and the window;
# OBS_COST_MODULE=FILE measures that tovrin.so (a path in the build
# environment) instead of the one built, to compare two versions.
set -u
source "$(dirname "$0")/env.sh"
tovrin_enter "$@"
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/obs-session.sh
source tools/obs-bench-session.sh

rounds=${1:-2}
shift || true
cases=${*:-default-spectrum default-waveform large-spectrum large-waveform dpr2-spectrum dpr2-waveform closed silent}
settle=${OBS_COST_SETTLE:-6}
window=${OBS_COST_SECONDS:-20}
build=build/release
work=$PWD/build/obs-cost
results=$work/results.txt

echo "== building the module and the benchmark's helper module"
bench_build "$build" || exit 1
mkdir -p "$work"
: >"$results"

baseline_of() { case $1 in *-spectrum | *-waveform | *-floor | *-nomixer) echo "${1%-*}" ;; *) echo "$1" ;; esac; }

# One start of OBS: VARIANT is module, placeholder or none.
measure() { # measure CASE VARIANT
	if bench_session_start "$1" "$2" "$build" "$work"; then
		sleep "$settle"
		# The whole process, and its main thread, where Qt and the dock run:
		# OBS's software rendering on other threads drifts by points from run
		# to run and hides what the dock adds.
		local ticks=(/proc/$OBS_PID/stat /proc/$OBS_PID/task/$OBS_PID/stat) t0 t1 rss
		t0=$(awk '{printf "%d ", $14 + $15}' "${ticks[@]}")
		sleep "$window"
		t1=$(awk '{printf "%d ", $14 + $15}' "${ticks[@]}")
		rss=$(awk '/^VmRSS/ {print $2}' "/proc/$OBS_PID/status")
		local cpu
		cpu=$(awk -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" -v s="$window" \
			'BEGIN { split(a, x); split(b, y); printf "%.2f %.2f", 100 * (y[1] - x[1]) / hz / s, 100 * (y[2] - x[2]) / hz / s }')
		echo "$round $1 $2 ${cpu% *} $((rss / 1024)) ${cpu#* } $(bench_session_placement)" | tee -a "$results"
		cp "$(obs_session_log)" "$work/$1-$2.log"
		import -window root "$work/$1-$2.png" 2>/dev/null
	else
		echo "$1 $2: OBS did not start" >&2
	fi
	bench_session_stop
}

echo "== $rounds round(s), ${settle} s settling and ${window} s measured per run"
echo "round case variant cpu% rssMB main-thread-cpu% placement"
for round in $(seq 1 "$rounds"); do
	done_baselines=" "
	for case in $cases; do
		base=$(baseline_of "$case")
		# Alternate which of the pair goes first from round to round.
		order="module placeholder"
		[ $((round % 2)) = 0 ] && order="placeholder module"
		for variant in $order; do
			if [ "$variant" = placeholder ]; then
				[[ "$done_baselines" == *" $base "* ]] && continue
				done_baselines+="$base "
				measure "$base" placeholder
			else
				measure "$case" module
			fi
		done
		[ "$case" = default-spectrum ] && measure default none
	done
done

python3 - "$results" <<'PY'
import statistics, sys
# Within a round a case's runs are minutes apart; the machine's speed drifts
# more than that between rounds, so each module run is set against the
# baseline of its own round.
runs = {}
for line in open(sys.argv[1]):
    if line.strip():
        rnd, case, variant, cpu, rss, main = line.split(maxsplit=6)[:6]
        runs.setdefault((case, variant), {})[rnd] = (float(cpu), float(rss), float(main))
def base(case):
    return case.rsplit("-", 1)[0] if case.endswith(("-spectrum", "-waveform", "-floor", "-nomixer")) else case
def spread(xs):
    return f"{statistics.median(xs):+6.2f} ({min(xs):+.2f} to {max(xs):+.2f})"
print()
print("What the dock adds to OBS against a placeholder dock of the same size that never repaints,")
print("in points of one core (the whole process and its main thread) and resident MB;")
print("medians of the rounds, lowest to highest in brackets")
print(f"{'case':17} {'OBS with it':>12} {'added, whole OBS':>26} {'added, main thread':>26} {'added MB':>24}")
for (case, variant), got in runs.items():
    ref = runs.get((base(case), "placeholder"), {}) if variant == "module" else {}
    pairs = [(got[r], ref[r]) for r in got if r in ref]
    if not pairs:
        continue
    print(f"{case:17} {statistics.median(m[0] for m, _ in pairs):12.2f}"
          f" {spread([m[0] - p[0] for m, p in pairs]):>26} {spread([m[2] - p[2] for m, p in pairs]):>26}"
          f" {spread([m[1] - p[1] for m, p in pairs]):>24}")
none, ph = runs.get(("default", "none"), {}), runs.get(("default", "placeholder"), {})
diffs = [(ph[r][0] - none[r][0], ph[r][2] - none[r][2]) for r in none if r in ph]
if diffs:
    print(f"the placeholder dock against no dock at all, default size: whole OBS {spread([d[0] for d in diffs])},"
          f" main thread {spread([d[1] for d in diffs])} points")
PY
