#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs each one for a
# bounded time on a copy of its seed corpus (the repository is left as it is).
#
#   tests/fuzz/run_fuzzers.sh            every fuzzer, 30 s each
#   FUZZ_SECONDS=300 tests/fuzz/run_fuzzers.sh fuzz_namedparams
#
# Environment: FUZZ_SECONDS (time per fuzzer, default 30), FUZZ_BUILD_DIR (default build-fuzz/
# at the top of the source tree), JOBS (build jobs, default the number of cores).
# Needs the Debian packages clang and libclang-rt-14-dev besides those of scripts/setup.sh.
# A failing input is kept in FUZZ_BUILD_DIR/artifacts/<fuzzer>/ with the fuzzer's log beside it;
# rerun it with: FUZZ_BUILD_DIR/fuzz/<fuzzer> <input file>
# Exits non-zero when any fuzzer fails; the last line reads "N passed, M failed".
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD_DIR=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-30}
JOBS=${JOBS:-$(nproc)}
ALL_FUZZERS=(fuzz_conversions fuzz_formatfloat fuzz_thaiwords fuzz_namedparams)
if [ "$#" -gt 0 ]; then FUZZERS=("$@"); else FUZZERS=("${ALL_FUZZERS[@]}"); fi

if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
  echo "clang++ not found: install the Debian packages clang and libclang-rt-14-dev" >&2
  echo "0 passed, ${#FUZZERS[@]} failed"
  exit 2
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' \
     | clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "clang++ cannot link libFuzzer: install the Debian package libclang-rt-14-dev" >&2
  echo "0 passed, ${#FUZZERS[@]} failed"
  exit 2
fi

mkdir -p "$BUILD_DIR"
echo "== configuring $BUILD_DIR"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARVO_FUZZ=ON >"$BUILD_DIR/configure.log" 2>&1 \
  || { cat "$BUILD_DIR/configure.log" >&2; echo "0 passed, ${#FUZZERS[@]} failed"; exit 1; }
echo "== building ${FUZZERS[*]}"
targets=("${FUZZERS[@]}")
if [ "$#" -eq 0 ]; then targets=(tarvo_fuzzers); fi # one target: the jobs run side by side
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}" \
  || { echo "0 passed, ${#FUZZERS[@]} failed"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Leaks are reported as failures too; undefined behaviour stops the run with a stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

passed=0
failed=0
for fuzzer in "${FUZZERS[@]}"; do
  corpus="$WORK/$fuzzer"
  artifacts="$BUILD_DIR/artifacts/$fuzzer"
  log="$artifacts/fuzz.log"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "$HERE/corpus/$fuzzer" ]; then cp -r "$HERE/corpus/$fuzzer/." "$corpus/"; fi
  dict=()
  if [ -f "$HERE/dict/$fuzzer.dict" ]; then dict=(-dict="$HERE/dict/$fuzzer.dict"); fi
  echo "== $fuzzer: ${SECONDS_EACH}s"
  start=$(date +%s)
  "$BUILD_DIR/fuzz/$fuzzer" "$corpus" "${dict[@]}" \
    -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1
  rc=$?
  took=$(( $(date +%s) - start ))
  # A run counts only when the fuzzer says it executed inputs: a target that starts and ends at
  # once, or a log without its final statistics, is a failure too.
  runs=$(sed -n 's/.*stat::number_of_executed_units: *\([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
  if [ "$rc" -eq 0 ] && [ "${runs:-0}" -eq 0 ]; then
    rc=1
    echo "   no input was executed"
  fi
  if [ "$rc" -eq 0 ]; then
    passed=$((passed + 1))
    echo "   passed: ${runs} runs in ${took}s, corpus $(ls "$corpus" | wc -l) inputs"
  else
    failed=$((failed + 1))
    echo "   FAILED (exit $rc) after ${took}s; log: $log"
    grep -E -A3 'fuzz check failed|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|Test unit written' "$log" | head -40 | sed 's/^/   /'
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
