#!/usr/bin/env bash
# Sets up the machine, builds, and makes the pictures of docs/: every scene of
# vek-screenshot (or the scenes named as arguments), each in a process of its own, under
# Xvfb with a small window manager, in the demo head ends' zone. `vek-screenshot --list`
# names the scenes; tools/screenshot/scene*.cpp hold them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

if [ $# -gt 0 ]; then
  scenes=("$@")
else
  mapfile -t scenes < <(build/bin/vek-screenshot --list)
fi

export TZ=America/Halifax
export VEK_CLOCK_DRY_RUN=1
export QT_QPA_PLATFORM=xcb
export LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=

# Runs inside the virtual display: the window manager, then one process per scene.
make='
  twm -f scripts/xvfb/twmrc > /dev/null 2>&1 &
  wm=$!
  sleep 1
  status=0
  for scene in "$@"; do
    if ! build/bin/vek-screenshot "$scene" docs; then
      echo "scene $scene failed" >&2
      status=1
    fi
  done
  kill "$wm" 2> /dev/null || true
  exit "$status"
'
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$make" pictures "${scenes[@]}"
