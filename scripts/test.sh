#!/usr/bin/env bash
# Sets up, builds and runs every test: the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the benchmarks once briefly, a short fuzz run, and last the
# ordinary build's tests (whose summary closes the output).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --test
bash scripts/start-printer.sh || echo "printing tests will be skipped: no print queue"

export QT_QPA_PLATFORM=offscreen

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

echo "== tests under the sanitizers"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLUMIVEX_SANITIZE=ON -DLUMIVEX_BENCH=OFF
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2

echo "== benchmarks (brief)"
for b in build/bench/bench_*; do
  if [ -f "$b" ] && [ -x "$b" ]; then "$b" --benchmark_min_time=0.01; fi
done

if [ -f fuzz/run.sh ]; then
  echo "== fuzzing (brief)"
  bash fuzz/run.sh
fi

echo "== tests"
ctest --test-dir build --output-on-failure -j2
