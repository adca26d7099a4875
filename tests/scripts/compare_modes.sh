#!/bin/sh
# Runs scripts through the shell of a checking build three times: as built,
# without the remembered forms of expressions (QUILLON_FORMS=0), and without
# any of the interpreter's shortcuts (QUILLON_SHORTCUTS=0, pure token
# walking); requires byte-identical standard output, standard error and exit
# status.
# Usage: QUILLON=path/to/quillon compare_modes.sh FILE_OR_DIR...
q=${QUILLON:-quillon}
tmp=${TMPDIR:-/tmp}/quillon-modes.$$
mkdir -p "$tmp"
trap 'rm -rf "$tmp"' EXIT
fail=0
count=0
for arg in "$@"; do
  if [ -d "$arg" ]; then list=$(ls "$arg"/*.js 2>/dev/null); else list=$arg; fi
  for js in $list; do
    count=$((count + 1))
    dir=$(dirname "$js")
    base=$(basename "$js")
    args=$(head -n 1 "$js" | sed -n 's|^// args: *||p')
    (cd "$dir" && TZ=${SCRIPT_TZ:-UTC} "$q" $args "$base" >"$tmp/out1" 2>"$tmp/err1" </dev/null)
    s1=$?
    for mode in QUILLON_FORMS=0 QUILLON_SHORTCUTS=0; do
      (cd "$dir" && env TZ=${SCRIPT_TZ:-UTC} $mode "$q" $args "$base" >"$tmp/out2" 2>"$tmp/err2" </dev/null)
      s2=$?
      if ! cmp -s "$tmp/out1" "$tmp/out2" || ! cmp -s "$tmp/err1" "$tmp/err2" || [ "$s1" != "$s2" ]; then
        echo "FAIL $js: differs with $mode (status $s1 / $s2)"
        diff "$tmp/out1" "$tmp/out2" | head -10
        diff "$tmp/err1" "$tmp/err2" | head -10
        fail=$((fail + 1))
      fi
    done
  done
done
echo "$count scripts compared, $fail differ"
[ $fail = 0 ]
