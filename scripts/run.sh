#!/usr/bin/env bash
# Sets up the machine, builds and starts the console with a demo data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export VEK_HOME="${VEK_HOME:-$PWD/build/demo-home}"
export VEK_CLOCK_DRY_RUN="${VEK_CLOCK_DRY_RUN:-1}"
mkdir -p "$VEK_HOME"
echo "Data folder: $VEK_HOME"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running under Xvfb."
  exec xvfb-run -a build/bin/vek "$@"
fi
exec build/bin/vek "$@"
