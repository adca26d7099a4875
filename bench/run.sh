#!/bin/sh
# Runs the project's benchmarks (bench/*.js through the shell, the start-up
# benchmark and the peak-memory patterns of memory.sh), then - where the peer
# engines are installed and the reference set is at hand - the comparison on
# the reference set, which shows each benchmark's peak memory beside duk's.
#   sh bench/run.sh path/to/quillon [path/to/bench_startup]
q=${1:?usage: run.sh QUILLON [BENCH_STARTUP]}
startup=$2
here=$(cd "$(dirname "$0")" && pwd)
printf "%-20s %10s  %s\n" benchmark seconds output
for js in "$here"/*.js; do
  name=$(basename "$js")
  start=$(date +%s.%N)
  out=$("$q" "$js" 2>&1 | tail -n 1)
  end=$(date +%s.%N)
  printf "%-20s %10.3f  %s\n" "$name" "$(echo "$end - $start" | bc)" "$out"
done
[ -n "$startup" ] && [ -x "$startup" ] && "$startup"
echo
echo "Peak memory of allocation patterns (cycles are collected while scripts run):"
sh "$here/memory.sh" "$q"
ref=${QUILLON_REFERENCE_BENCH:-$here/../../shared/bench}
if [ -f "$ref/compare.py" ] && command -v mujs >/dev/null 2>&1 && command -v duk >/dev/null 2>&1; then
  echo
  echo "Reference set ($ref) against mujs and duktape:"
  python3 "$ref/compare.py" --quillon "$q"
else
  echo
  echo "(reference comparison skipped: needs $ref/compare.py and the mujs and duk commands)"
fi
