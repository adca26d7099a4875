#!/bin/sh
# Runs every script of this folder through the shell and compares:
#   NAME.js        the script; a first line "// args: ..." gives shell options
#   NAME.out       expected standard output (required)
#   NAME.err       expected standard error (optional; otherwise it must hold
#                  no leak warning)
#   NAME.status    expected exit status (optional; default 0)
# Usage: QUILLON=path/to/quillon run.sh DIR [NAME...]
dir=${1:-.}
shift 2>/dev/null
q=${QUILLON:-quillon}
tmp=${TMPDIR:-/tmp}/quillon-scripts.$$
mkdir -p "$tmp"
trap 'rm -rf "$tmp"' EXIT
fail=0
count=0
if [ $# -gt 0 ]; then list="$*"; else list=$(cd "$dir" && ls *.js 2>/dev/null); fi
for js in $list; do
  name=${js%.js}
  [ -f "$dir/$name.out" ] || continue
  count=$((count + 1))
  args=$(head -n 1 "$dir/$js" | sed -n 's|^// args: *||p')
  want=0
  [ -f "$dir/$name.status" ] && want=$(cat "$dir/$name.status")
  (cd "$dir" && TZ=${SCRIPT_TZ:-UTC} "$q" $args "$js" >"$tmp/out" 2>"$tmp/err" </dev/null)
  got=$?
  ok=1
  if ! cmp -s "$tmp/out" "$dir/$name.out"; then
    echo "FAIL $name: standard output differs"; diff "$dir/$name.out" "$tmp/out" | head -20; ok=0
  fi
  if [ -f "$dir/$name.err" ]; then
    if ! cmp -s "$tmp/err" "$dir/$name.err"; then
      echo "FAIL $name: standard error differs"; diff "$dir/$name.err" "$tmp/err" | head -20; ok=0
    fi
  elif grep -q -e "Warning:" -e "UFO" -e "Illegal" "$tmp/err"; then
    echo "FAIL $name: diagnostics"; head -5 "$tmp/err"; ok=0
  fi
  if [ "$got" != "$want" ]; then
    echo "FAIL $name: exit status $got, expected $want"; head -5 "$tmp/err"; ok=0
  fi
  [ $ok = 1 ] || fail=$((fail + 1))
done
echo "$count scripts, $fail failed"
[ $fail = 0 ]
