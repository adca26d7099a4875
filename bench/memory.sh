#!/bin/sh
# Peak resident memory of four allocation patterns at two sizes: three that
# make a reference cycle on every step (a closure over an object that holds
# it, a function declaring an inner function, two objects pointing at each
# other) and one that makes only acyclic garbage. Collection during runs
# keeps the first three flat: the peak at 400,000 steps stays within 10 % of
# the peak at 100,000. Beside each, duk's peak when it is installed.
#   sh bench/memory.sh path/to/quillon
q=${1:?usage: memory.sh QUILLON}
tmp=${TMPDIR:-/tmp}/quillon-memory.$$
mkdir -p "$tmp"
trap 'rm -rf "$tmp"' EXIT
if [ ! -x /usr/bin/time ]; then
  echo "(memory benchmark skipped: needs GNU time as /usr/bin/time)"
  exit 0
fi
peak() {  # peak resident KiB of one run, the median of three
  for i in 1 2 3; do /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -n 1; done | sort -n | sed -n 2p
}
script() {  # pattern, steps
  case $1 in
  closure) echo "function make(n) { var self = {n: n}; self.get = function () { return self.n; }; return self; }
var s = 0; for (var i = 0; i < $2; i++) s += make(i).get(); print(s);" ;;
  inner) echo "function outer(n) { function inner() { return n; } return inner() + 1; }
var s = 0; for (var i = 0; i < $2; i++) s += outer(i); print(s);" ;;
  pair) echo "var s = 0; for (var i = 0; i < $2; i++) { var a = {v: i}, b = {v: 1}; a.other = b; b.other = a; s += a.other.v; } print(s);" ;;
  acyclic) echo "var s = 0; for (var i = 0; i < $2; i++) { var a = {v: i, w: [i, i + 1]}; s += a.w[1]; } print(s);" ;;
  esac
}
duk=$(command -v duk)
printf "%-10s %12s %12s %8s" pattern "100k KiB" "400k KiB" "400k/100k"
[ -n "$duk" ] && printf " %12s %12s" "duk 100k" "duk 400k"
echo
for p in closure inner pair acyclic; do
  for n in 100000 400000; do script $p $n > "$tmp/$p$n.js"; done
  a=$(peak "$q" "$tmp/${p}100000.js")
  b=$(peak "$q" "$tmp/${p}400000.js")
  printf "%-10s %12s %12s %8s" $p "$a" "$b" "$(echo "scale=2; $b / $a" | bc)"
  if [ -n "$duk" ]; then
    printf " %12s %12s" "$(peak "$duk" "$tmp/${p}100000.js")" "$(peak "$duk" "$tmp/${p}400000.js")"
  fi
  echo
done
