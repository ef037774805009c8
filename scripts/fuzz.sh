#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for the given
# number of seconds (default 60) from its seed corpus. Fails when a target crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAMBIENCE_FUZZ=ON -DAMBIENCE_TESTS=OFF -DAMBIENCE_BENCH=OFF >/dev/null
# Only the fuzz targets and what they link: the programs are not needed here.
cmake --build build-fuzz -j "$(nproc)" --target fuzz/all
status=0
shopt -s nullglob
for target in build-fuzz/bin/fuzz_*; do
  name=$(basename "$target")
  subject=${name#fuzz_}
  corpus_seed="fuzz/$subject/corpus"
  work="build-fuzz/corpus/$subject"
  mkdir -p "$work" "build-fuzz/crashes/$subject"
  seeds=()
  [ -d "$corpus_seed" ] && seeds+=("$corpus_seed")
  echo "-- $name for ${seconds}s"
  if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$target" "$work" "${seeds[@]}" \
      -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=25 -print_final_stats=0 \
      -artifact_prefix="build-fuzz/crashes/$subject/" >"build-fuzz/$name.log" 2>&1; then
    echo "$name: FAILED (see build-fuzz/$name.log and build-fuzz/crashes/$subject/)"
    tail -n 40 "build-fuzz/$name.log"
    status=1
  else
    echo "$name: ok ($(grep -o 'Done [0-9]* runs' "build-fuzz/$name.log" | tail -1))"
  fi
done
exit "$status"
