#!/usr/bin/env bash
# Runs inside the build environment (see tools/obs-cost.sh).
set -u
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

baseline_of() { case $1 in *-spectrum | *-waveform) echo "${1%-*}" ;; *) echo "$1" ;; esac; }

# One start of OBS: VARIANT is module, placeholder or none.
measure() { # measure CASE VARIANT
	if bench_session_start "$1" "$2" "$build" "$work"; then
		sleep "$settle"
		local hz t0 t1 rss cpu
		hz=$(getconf CLK_TCK)
		t0=$(awk '{print $14 + $15}' "/proc/$OBS_PID/stat")
		sleep "$window"
		t1=$(awk '{print $14 + $15}' "/proc/$OBS_PID/stat")
		rss=$(awk '/^VmRSS/ {print $2}' "/proc/$OBS_PID/status")
		cpu=$(awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$window" 'BEGIN { printf "%.2f", 100 * (b - a) / hz / s }')
		echo "$round $1 $2 $cpu $((rss / 1024)) $(bench_session_placement)" | tee -a "$results"
		cp "$(obs_session_log)" "$work/$1-$2.log"
		import -window root "$work/$1-$2.png" 2>/dev/null
	else
		echo "$1 $2: OBS did not start" >&2
	fi
	bench_session_stop
}

echo "== $rounds round(s), ${settle} s settling and ${window} s measured per run"
echo "round case variant cpu% rssMB placement"
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
        rnd, case, variant, cpu, rss = line.split(maxsplit=5)[:5]
        runs.setdefault((case, variant), {})[rnd] = (float(cpu), float(rss))
def base(case):
    return case.rsplit("-", 1)[0] if case.endswith(("-spectrum", "-waveform")) else case
def spread(xs):
    return f"{statistics.median(xs):+6.2f} ({min(xs):+.2f} to {max(xs):+.2f})"
print()
print("What the dock adds to OBS against a placeholder dock of the same size that never repaints:")
print("points of one core and resident MB, median of the rounds (lowest to highest)")
print(f"{'case':18} {'OBS with it, % of a core':>26} {'added points':>26} {'added MB':>26}")
for (case, variant), got in runs.items():
    ref = runs.get((base(case), "placeholder" if variant == "module" else "-"), {})
    pairs = [(got[r], ref[r]) for r in got if r in ref]
    if variant != "module" or not pairs:
        continue
    cpu = [m[0] for m, _ in pairs]
    print(f"{case:18} {statistics.median(cpu):12.2f} ({min(cpu):.2f}-{max(cpu):.2f})"
          f" {spread([m[0] - p[0] for m, p in pairs]):>26} {spread([m[1] - p[1] for m, p in pairs]):>26}")
none, ph = runs.get(("default", "none"), {}), runs.get(("default", "placeholder"), {})
diffs = [ph[r][0] - none[r][0] for r in none if r in ph]
if diffs:
    print(f"the placeholder dock itself against no dock at all (default size): {spread(diffs)} points")
PY
