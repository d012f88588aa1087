#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the debug and
# sanitizer builds on Linux, and the Windows programs cross-built with MinGW;
# then a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
build() {
  echo "== build $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}

build mingw
build release
build asan
build tsan
build dev

# The main job, from the optimised build.
echo "== demo (release)"
build/release/kovado-sim demo >/dev/null

# The short soak, from the debug build, where the lock check is on; a broken
# invariant leaves its replay scenario in build/dev.
echo "== soak (dev)"
build/dev/kovado-sim soak --seed 1 --seeds 20 --hours 1 --out build/dev | grep -v '^  '

# Sanitizer runs first; the dev run's summary is printed last.
echo "== test asan"
ctest --preset asan -j "$jobs" --timeout 600
echo "== test tsan"
ctest --preset tsan -j "$jobs" --timeout 600
if [[ -f scripts/wine-tests.sh ]]; then
  echo "== Windows programs under Wine"
  bash scripts/wine-tests.sh build/mingw
fi
# Every fuzz target for a bounded time; fails on any crash, leak, sanitizer
# report or time-out.
echo "== fuzz (30 s a target)"
bash scripts/fuzz.sh all 30
echo "== test dev"
ctest --preset dev -j "$jobs" --timeout 600
