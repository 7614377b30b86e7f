#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) into build-fuzz and runs every one
# of them for SECONDS seconds each (default 60), in turn, on small
# generated starting inputs with the format's dictionary (tests/fuzz/*.dict). The corpora grow in
# build-fuzz/corpus/<target>; a finding stops the run with its input saved
# as build-fuzz/crash-*. Prints the runs of each target and the total.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$build" -DVIDORA_FUZZ=ON -DVIDORA_BUILD_UI=OFF -DVIDORA_BUILD_TESTS=OFF \
  -DVIDORA_BUILD_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target fuzz_all -j "$(nproc)"
"$build/bin/fuzz_inputs" "$build/inputs"
total=0
while read -r target max_len; do
  [ -n "$target" ] || continue
  if [ $# -gt 0 ] && [[ " $* " != *" $target "* ]]; then continue; fi
  mkdir -p "$build/corpus/$target" "$build/inputs/$target"
  log="$build/$target.log"
  dict="$PWD/tests/fuzz/${target#fuzz_}.dict"
  [ -f "$dict" ] || dict="$PWD/tests/fuzz/qdoc.dict"
  (cd "$build" && "./bin/$target" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 \
    -dict="$dict" -print_final_stats=1 "corpus/$target" "inputs/$target") >"$log" 2>&1 || {
    tail -n 40 "$log"
    echo "fuzz: $target found a problem (see $log)" >&2
    exit 1
  }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "fuzz: $target ${runs:-0} runs in ${seconds}s"
  total=$((total + ${runs:-0}))
done <"$build/fuzz_targets.txt"
echo "fuzz: $total runs in total"
