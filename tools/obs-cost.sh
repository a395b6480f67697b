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
set -euo pipefail
source "$(dirname "$0")/env.sh"
tovrin_env_prepare
tovrin_run bash tools/obs-cost-inside.sh "$@"
