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
  echo "== $target for ${seconds}s"
  (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -max_len=1024 -print_final_stats=0 "$corpus")
done
echo "fuzz: all targets ran ${seconds}s without a finding"
