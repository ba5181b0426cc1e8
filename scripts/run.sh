#!/usr/bin/env bash
# Sets up the machine, builds and starts the console with a demo data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export VEK_HOME="${VEK_HOME:-$PWD/build/demo-home}"
export VEK_CLOCK_DRY_RUN="${VEK_CLOCK_DRY_RUN:-1}"
mkdir -p "$VEK_HOME"
# A folder without USER.INI would fail start-up: seed one administrator and one operator.
if [ ! -e "$VEK_HOME/USER.INI" ]; then
  # Names and passwords are stored as the low and high byte of each character.
  codes() {
    local text="$1" out="" i c
    for ((i = 0; i < ${#text}; i++)); do
      c=$(printf '%d' "'${text:i:1}")
      out="${out:+$out-}$c-0"
    done
    printf '%s' "$out"
  }
  {
    printf '[General]\r\nVersion=1\r\n'
    printf '[User_1_Settings]\r\nA=%s\r\nB=%s\r\nC=3\r\n' "$(codes Admin)" "$(codes admin1)"
    printf '[User_2_Settings]\r\nA=%s\r\nB=%s\r\nC=2\r\n' "$(codes Operator)" "$(codes oper1)"
  } > "$VEK_HOME/USER.INI"
  echo "Seeded $VEK_HOME/USER.INI (Admin / admin1, Operator / oper1)"
fi
echo "Data folder: $VEK_HOME"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running under Xvfb."
  exec xvfb-run -a build/bin/vek "$@"
fi
exec build/bin/vek "$@"
