#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each briefly from a seed corpus
# made by our own code (inputs found earlier in build-fuzz are kept and run again). Fails on the
# first crash, sanitizer report, leak, time-out or runaway memory; the input is kept.
#   FUZZ_SECONDS   total time for all targets (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
total=${FUZZ_SECONDS:-60}
mkdir -p "$build"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLUMIVEX_FUZZ=ON -DLUMIVEX_TESTS=OFF -DLUMIVEX_BENCH=OFF > "$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j2 --target fuzz_picture fuzz_wmf fuzz_ini makecorpus

seeds="$build/fuzz/seeds"
rm -rf "$seeds"
"$build/fuzz/makecorpus" "$seeds"

export QT_QPA_PLATFORM=offscreen

run() { # target, corpus, share of the time in percent
  local target=$1 corpus=$2 seconds=$(( total * $3 / 100 ))
  local work="$build/fuzz/corpus-$target" artifacts="$build/fuzz/crashes-$target/"
  mkdir -p "$work" "$artifacts"
  echo "-- $target for ${seconds}s"
  "$build/fuzz/$target" "$work" "$seeds/$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts" \
    > "$build/fuzz/$target.log" 2>&1 \
    || { tail -n 60 "$build/fuzz/$target.log"; echo "$target found a fault; input kept in $artifacts"; return 1; }
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/fuzz/$target.log" | tr '\n' ' '
  echo
}

run fuzz_picture picture 45
run fuzz_wmf wmf 30
run fuzz_ini ini 25
