#!/usr/bin/env bash
# Runs the Windows test programs under Wine in one fresh, headless prefix:
#   bash scripts/wine-tests.sh BUILD_DIR
# - every program BUILD_DIR/**/*_test.exe (each prints its checks and exits
#   non-zero on a failure);
# - every script tests/wine/*.sh, run with BUILD_DIR as $1 and the prefix
#   already up (WINEPREFIX and the other Wine variables exported, the functions
#   of scripts/wine-env.sh available, Wine's null display driver selected).
# Each gets a time-out (KOVADO_WINE_TIMEOUT seconds, default 600). The prefix is
# brought down at the end, also on failure or interruption. Exits non-zero when
# anything failed or nothing was found to run.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: wine-tests.sh BUILD_DIR}
build=$(cd "${build}" && pwd) || exit 1
limit=${KOVADO_WINE_TIMEOUT:-600}

# shellcheck source=scripts/wine-env.sh
source "${root}/scripts/wine-env.sh"
export -f wine_prefix_up wine_prefix_down _kovado_wine_log

mapfile -t programs < <(find "${build}" -name CMakeFiles -prune -o -type f -name '*_test.exe' -print | sort)
shopt -s nullglob
scripts=("${root}"/tests/wine/*.sh)
shopt -u nullglob
if ((${#programs[@]} + ${#scripts[@]} == 0)); then
  echo "wine-tests: no *_test.exe in ${build} and no tests/wine/*.sh" >&2
  exit 1
fi

trap 'wine_prefix_down' EXIT
trap 'exit 130' INT TERM
echo "wine-tests: bringing up a Wine prefix"
if ! wine_prefix_up; then
  echo "wine-tests: the Wine prefix could not be brought up" >&2
  exit 1
fi

failed=()
run() {
  local name=$1
  shift
  echo "-- ${name}"
  local status=0
  timeout --kill-after=10 "${limit}" "$@" || status=$?
  if ((status == 124 || status == 137)); then
    echo "wine-tests: ${name} timed out after ${limit} s" >&2
  fi
  if ((status != 0)); then
    failed+=("${name} (exit ${status})")
    # A program that died or hung may leave Wine processes behind.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
}

for program in "${programs[@]}"; do
  run "${program#"${build}"/}" bash -c 'cd "$(dirname "$1")" && exec wine "$1"' _ "${program}"
done
for script in "${scripts[@]}"; do
  run "tests/wine/$(basename "${script}")" bash "${script}" "${build}"
done

total=$((${#programs[@]} + ${#scripts[@]}))
if ((${#failed[@]} > 0)); then
  echo "wine-tests: ${#failed[@]} of ${total} failed:" >&2
  printf '  %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "wine-tests: all ${total} passed"
