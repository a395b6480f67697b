#!/usr/bin/env bash
# Whether the dock leaks in the real OBS over time: OBS 30 with the demo tone
# playing, started as the cost benchmark starts it for CASE and VARIANT (see
# tools/obs-cost.sh), for MINUTES (30 by default), its resident memory sampled
# each minute; prints the samples and the growth after the first five
# minutes. Figures, not pass/fail; outside the test command.
#   tools/obs-soak.sh [MINUTES] [CASE] [VARIANT]
# CASE is default-spectrum by default; VARIANT module (the default), none for
# what OBS alone grows by, or placeholder. CASE default-floor with module
# gives the helper's dock that fills the views' areas at every tick: what any
# dock repainting that much grows OBS by.
set -euo pipefail
source "$(dirname "$0")/env.sh"
tovrin_env_prepare
tovrin_run bash tools/obs-soak-inside.sh "${1:-30}" "${2:-default-spectrum}" "${3:-module}"
