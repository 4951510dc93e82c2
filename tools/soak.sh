#!/usr/bin/env bash
# Fault soak: every radio procedure on the simulator under each of its faults (port gone,
# silent, late, garbled, truncated answers, unsolicited IF reports, busy), each from a random
# write with a random seed, for SECONDS in all (default 600). Prints the table procedure x
# fault (passes/runs) and the runs that failed; exits non-zero on any failure.
#   tools/soak.sh [SECONDS]
# Uses the build folder named by SOAK_BUILD_DIR (default build), configuring it when missing;
# SOAK_SEED picks another sequence of seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${SOAK_BUILD_DIR:-build}

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target tst_soak >/dev/null

echo "Fault soak for $seconds s on $(hostname) ($(nproc) cores), $(date -u '+%Y-%m-%d %H:%M UTC')"
# QtTest stops a test function after QTEST_FUNCTION_TIMEOUT ms (300 s by default).
QTEST_FUNCTION_TIMEOUT=$(((seconds + 300) * 1000)) \
  CORVANE_SOAK_SECONDS=$seconds CORVANE_SOAK_SEED=${SOAK_SEED:-0} QT_QPA_PLATFORM=offscreen \
  "$build/bin/tst_soak" -silent
