#!/usr/bin/env bash
# Builds the module, installs it into an OBS configuration of its own
# (build/demo-home, never yours) with a demo scene looping a test tone, and
# starts the real OBS with it: on your display if there is one, otherwise under
# Xvfb for a while (default 20 s), ending with a screenshot.
#   tools/demo.sh [SECONDS]
set -euo pipefail
source "$(dirname "$0")/env.sh"
export TOVRIN_SHARE_DISPLAY=1
tovrin_env_prepare
tovrin_run bash tools/demo-inside.sh "$@"
