#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# into ./build-fuzz and runs each for a bounded time, several at once, starting from
# its committed seeds in tests/fuzz/corpus/<name>/. Any finding fails the run; its input
# is left in build-fuzz/findings/<name>/ and can be replayed with
#   build-fuzz/bin/fuzz_<name> build-fuzz/findings/<name>/crash-...
# VEK_FUZZ_SECONDS sets the time per target (default 60), VEK_FUZZ_JOBS how many run at
# once (default: the number of processors), and arguments name the targets to run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${VEK_FUZZ_SECONDS:-60}"
jobs="${VEK_FUZZ_JOBS:-$(nproc)}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVEK_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-fuzz --target fuzz --parallel

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in build-fuzz/bin/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi

rm -rf build-fuzz/findings build-fuzz/logs
mkdir -p build-fuzz/findings build-fuzz/logs build-fuzz/corpus

run_one() {
  local name="$1" seconds="$2"
  local corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus" "build-fuzz/findings/$name"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp -n "tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true; fi
  # A smaller quarantine and shorter allocation stacks nearly double the runs per second;
  # a finding still shows where the bad access was.
  if ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:quarantine_size_mb=16:malloc_context_size=8 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$name/" \
    "$corpus" >"build-fuzz/logs/$name.log" 2>&1; then
    local runs rate
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/logs/$name.log" | grep -o '[0-9]*$' || echo '?')
    rate=$(grep -o 'exec/s: [0-9]*' "build-fuzz/logs/$name.log" | tail -1 | grep -o '[0-9]*$' || echo '?')
    echo "fuzz $name: ok, $runs runs, $rate runs/s"
  else
    echo "fuzz $name: FINDING (input in build-fuzz/findings/$name/)"
    tail -n 60 "build-fuzz/logs/$name.log"
    return 1
  fi
}
export -f run_one

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds"
