#!/usr/bin/env bash
# Sets up the machine, builds the simulator and runs the built-in demo: the
# whole bridge against a simulated Skype client and handset, in virtual time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release --target kovado-sim >/dev/null
exec build/release/kovado-sim demo "$@"
