#!/usr/bin/env bash
# A fuzzing campaign: builds the fuzz preset, then runs each target for the
# given time, one after another.
#
#   scripts/fuzz.sh [TARGET] [SECONDS]
#
# TARGET: handset, skype, settings, tambrelo, scenario or all (the default);
# SECONDS: per target (default 600). The seeds in fuzz/corpus/TARGET are read
# and never written; what a run learns stays in build/fuzz/corpus/TARGET for
# the next run; an input that fails is saved in build/fuzz/findings/TARGET/.
# Exit code 1 when any target found a crash, a leak, a sanitizer report or a
# time-out (an input taking longer than KOVADO_FUZZ_TIMEOUT seconds, 10).
set -euo pipefail
cd "$(dirname "$0")/.."

all=(handset skype settings tambrelo scenario)
target=${1:-all}
seconds=${2:-600}
if [[ ${target} == all ]]; then
  targets=("${all[@]}")
elif [[ " ${all[*]} " == *" ${target} "* ]]; then
  targets=("${target}")
else
  echo "fuzz.sh: unknown target ${target} (${all[*]} or all)" >&2
  exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${KOVADO_FUZZ_JOBS:-$(nproc)}" \
  --target "${targets[@]/#/fuzz_}"

# Leaks are checked at the end of every input; a report stops the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for t in "${targets[@]}"; do
  work=build/fuzz/corpus/${t}
  findings=build/fuzz/findings/${t}
  log=build/fuzz/${t}.log
  mkdir -p "${work}" "${findings}"
  options=(-max_total_time="${seconds}" -timeout="${KOVADO_FUZZ_TIMEOUT:-10}"
           -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1
           -artifact_prefix="${findings}/")
  [[ -f fuzz/dict/${t}.dict ]] && options+=(-dict="fuzz/dict/${t}.dict")
  echo "== fuzz ${t}: ${seconds} s"
  if build/fuzz/fuzz/fuzz_"${t}" "${options[@]}" "${work}" "fuzz/corpus/${t}" >"${log}" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "${log}" || true
  else
    failed+=("${t}")
    grep -E -A30 '^==[0-9]+==ERROR|runtime error|^SUMMARY|ALARM|out-of-memory|deadly signal' \
      "${log}" | head -60 || tail -40 "${log}"
    echo "fuzz.sh: ${t} failed; the input is in ${findings}/, the whole log in ${log}"
  fi
done

if ((${#failed[@]})); then
  echo "fuzz.sh: findings in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: no findings"
