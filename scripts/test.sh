#!/usr/bin/env bash
# Sets up the machine, checks that every source file is as clang-format writes it, builds
# and runs the whole test suite: once in the normal build,
# then again built with AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz
# target for about a minute. Every build treats a compiler warning as an error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
bash scripts/build.sh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

cmake -S . -B build-asan -G Ninja -DVEK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-asan --parallel
# Qt and the platform libraries keep some memory until exit: leaks are not findings here.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"

bash scripts/fuzz.sh
