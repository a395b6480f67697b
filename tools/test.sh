#!/usr/bin/env bash
# Builds and runs every test; exits non-zero on any failure. On a machine
# without OBS 30+ development files it first provisions a Debian 13 root.
set -euo pipefail
source "$(dirname "$0")/env.sh"
tovrin_env_prepare
tovrin_run bash tools/test-inside.sh
