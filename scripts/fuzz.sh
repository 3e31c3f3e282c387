#!/bin/sh
# Builds the libFuzzer targets with clang under ASan/UBSan in build-fuzz and
# runs each for a bounded number of inputs, seeded from data/ and fuzz/corpus.
set -eu
cd "$(dirname "$0")/.."
RUNS="${FUZZ_RUNS:-20000}"
BUILD=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRVO_FUZZ=ON -DMIRVO_APP=ON -DMIRVO_BENCH=OFF >/dev/null

# Every fuzz/<name>.cpp is a target.
targets=$(for f in fuzz/*.cpp; do basename "$f" .cpp; done)
# shellcheck disable=SC2086
cmake --build "$BUILD" -j2 --target $targets

seeds_for() {
  case "$1" in
    fuzz_ini) echo fuzz/corpus/ini ;;
    fuzz_xml|fuzz_config) echo data ;;
    fuzz_loan_input) echo fuzz/corpus/loan_input ;;
    fuzz_rtf) echo fuzz/corpus/rtf ;;
    *) [ -d "fuzz/corpus/${1#fuzz_}" ] && echo "fuzz/corpus/${1#fuzz_}" ;;
  esac
}

for t in $targets; do
  corpus="$BUILD/corpus/$t"
  mkdir -p "$corpus"
  log="$BUILD/$t.log"
  echo "== $t ($RUNS runs)"
  # shellcheck disable=SC2046
  dict=""
  [ -f "fuzz/${t#fuzz_}.dict" ] && dict="-dict=fuzz/${t#fuzz_}.dict"
  # shellcheck disable=SC2086
  if ! "$BUILD/fuzz/$t" -runs="$RUNS" -max_len=4096 -timeout=10 $dict "$corpus" $(seeds_for "$t") >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$t failed; the input is in the working folder (crash-*), the log in $log" >&2
    exit 1
  fi
  grep '^Done' "$log"
done
