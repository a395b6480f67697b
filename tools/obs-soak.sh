#!/usr/bin/env bash
# Whether the dock leaks in the real OBS over time: OBS 30 with the module
# docked and the looping demo tone bound, for MINUTES (30 by default), its
# resident memory sampled each minute; prints the samples and the growth after
# the first five minutes. Figures, not pass/fail; outside the test command.
# With "none", the same OBS, scene and tone without the module: what OBS alone
# grows by, to set the module's figure against.
#   tools/obs-soak.sh [MINUTES] [module|none]
set -euo pipefail
source "$(dirname "$0")/env.sh"
tovrin_env_prepare
tovrin_run bash tools/obs-soak-inside.sh "${1:-30}" "${2:-module}"
