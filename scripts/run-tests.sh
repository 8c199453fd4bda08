#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite inside a private network
# namespace, so that no test can send a datagram beyond loopback (or the test networks that
# the end-to-end tests make for themselves inside it).
#   --sanitize  builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer in a
#               build folder of its own ($SANITIZE_BUILD_DIR, default build-sanitize/) and
#               fails on any sanitizer report, from a test or from a program a test started.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  build=${SANITIZE_BUILD_DIR:-$top/build-sanitize}
fi
"$top/scripts/install-deps.sh" --test
if [ "$sanitize" -eq 1 ]; then
  flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > /dev/null
  cmake --build "$build" -j"$(nproc)"
  # Every report goes to a file as well as ending its program, so that a report from a
  # program a test started (the simulator) fails the run even when the test does not notice.
  reports="$build/sanitizer-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:log_path=$reports/asan"
  export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
else
  BUILD_TESTING=ON BUILD_DIR="$build" "$top/scripts/build.sh"
fi

status=0
(cd "$build" && "$top/scripts/isolated.sh" ctest --output-on-failure --timeout 120 -j"$(nproc)") ||
  status=$?
if [ "$sanitize" -eq 1 ] && [ -n "$(ls -A "$reports")" ]; then
  cat "$reports"/*
  echo "sanitizer reports: $(ls "$reports" | wc -l) (in $reports)" >&2
  status=1
fi
exit "$status"
