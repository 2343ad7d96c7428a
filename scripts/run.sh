#!/usr/bin/env bash
# Sets up, builds and starts Lumivex.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVEX_TESTS=OFF -DLUMIVEX_BENCH=OFF
cmake --build build -j2 --target lumivex lumivex-convert
exec ./build/app/lumivex "$@"
