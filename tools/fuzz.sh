#!/usr/bin/env bash
# Runs every libFuzzer harness for SECONDS each (default 60) and prints a table of
# executions, coverage and findings; exits non-zero on any finding.
#   tools/fuzz.sh [SECONDS]
# The harnesses (fuzz_<what>) are taken from FUZZ_BUILD_DIR (default build-fuzz), which is
# configured and built with clang when it is missing. Each harness starts from its seed
# corpus in fuzz/corpus/<what> and its kept regression inputs in fuzz/regressions/<what>;
# new corpus entries go to a scratch folder, findings to FUZZ_FINDINGS (default
# $FUZZ_BUILD_DIR/findings). FUZZ_JOBS harnesses run at once (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
findings=${FUZZ_FINDINGS:-$build/findings}
jobs=${FUZZ_JOBS:-$(nproc)}

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_all >/dev/null

mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_one() {
  local exe=$1 name what corpus regressions log
  name=$(basename "$exe")
  what=${name#fuzz_}
  corpus="$work/$what"
  mkdir -p "$corpus" "$findings/$what"
  [ -d "fuzz/corpus/$what" ] && cp -r "fuzz/corpus/$what/." "$corpus/"
  regressions=()
  [ -d "fuzz/regressions/$what" ] && regressions=("fuzz/regressions/$what")
  log="$work/$what.log"
  set +e
  "$exe" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$what/" "$corpus" "${regressions[@]}" >"$log" 2>&1
  echo $? >"$work/$what.rc"
  set -e
}

exes=("$build"/bin/fuzz_*)
running=0
for exe in "${exes[@]}"; do
  run_one "$exe" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

status=0
printf '%-12s %12s %10s %10s %9s\n' harness executions exec/s coverage findings
for exe in "${exes[@]}"; do
  what=$(basename "$exe"); what=${what#fuzz_}
  log="$work/$what.log"
  execs=$(grep 'stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -1)
  rate=$(grep 'stat::average_exec_per_sec:' "$log" | awk '{print $2}' | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | awk '{print $2}' | tail -1)
  # Crashes, leaks, time-outs and memory blow-ups count; a slow-unit note does not.
  found=$(find "$findings/$what" -type f \( -name "crash-*" -o -name "leak-*" -o -name "timeout-*" -o -name "oom-*" \) | wc -l)
  rc=$(cat "$work/$what.rc")
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    [ "$found" -eq 0 ] && found="exit $rc"
    grep -E 'ERROR|SUMMARY|runtime error' "$log" | head -5 >&2 || true
  fi
  printf '%-12s %12s %10s %10s %9s\n' "$what" "${execs:-?}" "${rate:-?}" "${cov:-?}" "$found"
done
exit $status
