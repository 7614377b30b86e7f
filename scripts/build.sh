#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build). Extra arguments go
# to the CMake configure step. VIDORA_WERROR=ON in the environment (CI)
# makes warnings errors.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
generator=()
options=()
if [ -n "${VIDORA_WERROR:-}" ]; then options+=(-DVIDORA_WERROR="$VIDORA_WERROR"); fi
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" "${generator[@]}" "${options[@]}" "$@"
else
  cmake -S . -B "$build_dir" "${options[@]}" "$@" >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)"
