#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each for SECONDS (default 60), starting from
# its committed corpus in fuzz/corpus/. Prints "N runs, 0 crashes" per target. On a crash it
# keeps the input under fuzz/crashes/ and exits non-zero.
# Every target runs inside a private network namespace; the endpoint's sends stay on its
# loopback.
#   ./scripts/fuzz.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${1:-60}
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac
targets=(record write_request strtoint cp1252 address_prefix endpoint plan)

"$top/scripts/install-deps.sh"
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

crashes="$top/fuzz/crashes"
mkdir -p "$crashes"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
failed=0
for t in "${targets[@]}"; do
  # New inputs go to a working corpus in the build folder; the committed one stays as it is.
  work="$build/corpus/$t"
  mkdir -p "$work"
  log="$build/fuzz_$t.log"
  max_len=256
  [ "$t" = endpoint ] && max_len=4096
  status=0
  "$top/scripts/isolated.sh" \
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$crashes/$t-" \
    "$work" "$top/fuzz/corpus/$t" > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed=1
    grep -A20 -m1 -E '^==[0-9]+==|check failed|runtime error|deadly signal' "$log" >&2 || tail -30 "$log" >&2
    echo "$t: ${runs:-?} runs, 1 crash (input under fuzz/crashes/, log $log)"
  else
    echo "$t: ${runs:-?} runs, 0 crashes"
  fi
done
exit "$failed"
