#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   fuzz/run.sh [seconds per target, default 20] [build directory, default build-fuzz]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
build=${2:-$root/build-fuzz}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DYUT_FUZZ=ON -DYUT_BUILD_TESTS=OFF >/dev/null
targets=()
for source in "$root"/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build" -j2 --target "${targets[@]}"

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  echo "== $target for ${seconds}s (log: $log)"
  if ! (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -max_len=1024 "$corpus") \
      >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target found a fault; the input that shows it is named in the log above"
    exit 1
  fi
  grep -E '^Done [0-9]+ runs' "$log" || true
done
echo "fuzz: all targets ran ${seconds}s without a finding"
