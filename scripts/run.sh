#!/usr/bin/env bash
# Sets up the machine, builds, and runs the console against simulated Hardware Servers:
# vek-hwsim plays the head ends of the demo scenario on free loopback ports, and a fresh
# data folder (build/demo-home) points the console at them.
#
# With a display the console runs until it is closed. Without one it runs under Xvfb for
# about ten seconds, a screenshot of the whole screen is saved to
# build/demo-home/screenshot.png, and both programs are stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

root=$PWD
scenario="$root/tools/hwsim/scenarios/demo.scn"
home="$root/build/demo-home"
export VEK_HOME="$home"
export VEK_CLOCK_DRY_RUN=1
# The demo head ends report zone index 4 (Atlantic): run both programs in that zone, so
# the simulator's event times are the console's head-end times.
export TZ=America/Halifax

rm -rf "$home"
mkdir -p "$home"

# --- The simulated Hardware Servers ------------------------------------------------------
mapfile -t headends < <(awk '$1 == "headend" { print $2 }' "$scenario")
port_args=()
for he in "${headends[@]}"; do port_args+=(--port "$he=0"); done
build/bin/vek-hwsim --scenario "$scenario" "${port_args[@]}" --trace "$home/hwsim.trace" \
  --quiet < /dev/null > "$home/hwsim.out" 2> "$home/hwsim.err" &
sim_pid=$!
console_pid=""
stop_all() {
  if [ -n "$console_pid" ]; then kill "$console_pid" 2> /dev/null || true; fi
  kill "$sim_pid" 2> /dev/null || true
  wait "$sim_pid" 2> /dev/null || true
}
trap stop_all EXIT

# It prints "HE<n> port <p>" for every head end once it listens.
for _ in $(seq 100); do
  [ "$(grep -c '^HE[0-9]* port ' "$home/hwsim.out" || true)" -ge "${#headends[@]}" ] && break
  if ! kill -0 "$sim_pid" 2> /dev/null; then
    echo "vek-hwsim did not start:" >&2
    cat "$home/hwsim.err" >&2
    exit 1
  fi
  sleep 0.1
done
declare -A port
while read -r tag _ p; do port[${tag#HE}]=$p; done < <(grep '^HE[0-9]* port ' "$home/hwsim.out")
for he in "${headends[@]}"; do
  if [ -z "${port[$he]:-}" ]; then
    echo "vek-hwsim gave no port for head end $he" >&2
    exit 1
  fi
done

# --- The time server's port: the console binds the one above it, so both must be free ----
udp_free() { [ -z "$(ss -Hanu "sport = :$1")" ]; }
time_port=""
for _ in $(seq 200); do
  p=$((20000 + RANDOM % 40000))
  if udp_free "$p" && udp_free "$((p + 1))"; then
    time_port=$p
    break
  fi
done
if [ -z "$time_port" ]; then
  echo "no two free UDP ports found for the time server" >&2
  exit 1
fi

# --- VEK.INI: the scenario's head ends on line at the simulator's ports ------------------
{
  printf '[General]\r\nVersion=1\r\n'
  for he in "${headends[@]}"; do
    name=$(awk -v he="$he" '$1 == "headend" && $2 == he' "$scenario" |
      sed -n 's/.*name="\([^"]*\)".*/\1/p')
    channels=$(awk -v he="$he" '$1 == "channel" && $2 == he && $3 > n { n = $3 } END { print n + 0 }' \
      "$scenario")
    printf '[HeadEnd_%s_Settings]\r\n' "$he"
    printf 'Long_Name=%s\r\n' "${name:-HeadEnd$he}"
    printf 'Short_Name=HE%s\r\n' "$he"
    printf 'IP_Address=127.0.0.1\r\nIP_Address_Backup=127.0.0.1\r\n'
    printf 'IP_Port=%s\r\n' "${port[$he]}"
    printf 'List_Number=1\r\nNumber_Of_Channels=%s\r\nRetry_MS=70\r\n' "$channels"
    printf 'HeadEnd_OnLine=1\r\nAlarm_Enable=1\r\n'
  done
  printf '[Time_Settings]\r\nUse_QRN_Time=1\r\nIP_Address=127.0.0.1\r\nIP_Port=%s\r\n' "$time_port"
  printf 'Nic_Card=1\r\n'
  printf '[Nic_Card_Settings]\r\nBroadcast_Nic=127.0.0.1\r\nHouse_Nic=127.0.0.1\r\n'
} > "$home/VEK.INI"

# --- USER.INI: one administrator and one operator ----------------------------------------
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
} > "$home/USER.INI"

echo "Data folder: $home (users Admin / admin1, Operator / oper1)"
for he in "${headends[@]}"; do echo "Head end $he: simulated at 127.0.0.1:${port[$he]}"; done
echo "Time server: 127.0.0.1:$time_port (the console listens on $((time_port + 1)))"

summary() {
  echo "Simulator trace: $home/hwsim.trace"
  for he in "${headends[@]}"; do
    printf '  head end %s: %s messages from the console, %s answers\n' "$he" \
      "$(grep -c " HE$he in " "$home/hwsim.trace" || true)" \
      "$(grep -c " HE$he out " "$home/hwsim.trace" || true)"
  done
  echo "Console log: $(ls "$home"/*.ENG 2> /dev/null | tr '\n' ' ')"
}

# --- The console ---------------------------------------------------------------------------
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  status=0
  build/bin/vek "$@" || status=$?
  summary
  exit "$status"
fi

echo "No display found: running under Xvfb for about 10 s, then saving a screenshot."
# Runs inside the virtual display: the console, a screenshot after ~10 s, then stop.
shot='
  home="$1"
  shift
  # A small window manager, so every window is mapped and drawn as on a desktop.
  twm -f scripts/xvfb/twmrc > /dev/null 2>&1 &
  sleep 1
  build/bin/vek "$@" &
  pid=$!
  sleep 10
  if ! kill -0 "$pid" 2> /dev/null; then
    wait "$pid" || true
    echo "The console ended before the screenshot." >&2
    exit 1
  fi
  build/bin/vek-screenshot --screen "$home/screenshot.png"
  kill "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  echo "Screenshot: $home/screenshot.png"
'
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$shot" shot "$home" "$@" || status=$?
summary
exit "$status"
