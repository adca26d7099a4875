#!/bin/sh
# The include direction: every #include "folder/file.h" in src/ must name a
# folder at or below the including file's own in the order below (lowest
# first), and the shell, a host, may include quillon.h and its own headers
# only. docs/design.md ("Map of folders") states the order and justifies
# each exception. Usage: check_includes.sh SOURCE_ROOT
set -eu
root=${1:?source root}

ORDER="platform runtime numconv values lexer objects interp builtins regexp host"

# Exceptions, one "including-file included-file" pair a line.
EXCEPTIONS="
"

cd "$root"
status=0
for f in $(find src shell -name '*.h' -o -name '*.cpp' | sort); do
  awk -v file="$f" -v order="$ORDER" -v exceptions="$EXCEPTIONS" '
    BEGIN {
      n = split(order, names, " ")
      for (i = 1; i <= n; i++) rank[names[i]] = i
      m = split(exceptions, lines, "\n")
      for (i = 1; i <= m; i++) if (lines[i] != "") allowed[lines[i]] = 1
      split(file, parts, "/")
      top = parts[1]; folder = parts[2]
      rel = substr(file, length(top) + 2)
      bad = 0
      if (top == "src" && !(folder in rank)) {
        printf "%s: the folder %s/ has no place in the order %s\n", file, folder, order
        bad = 1
      }
    }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      inc = $0
      sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
      if (index(inc, "/") == 0) next
      target = substr(inc, 1, index(inc, "/") - 1)
      if (!(target in rank)) next
      if (top == "shell") {
        printf "%s:%d: the shell includes %s (a host uses quillon.h only)\n", file, NR, inc
        bad = 1
      } else if (rank[target] > rank[folder] && !((rel " " inc) in allowed)) {
        printf "%s:%d: %s/ includes %s, which runs against the order %s\n", file, NR, folder, inc, order
        bad = 1
      }
    }
    END { exit bad }
  ' "$f" || status=1
done
if [ $status -eq 0 ]; then echo "includes follow the order: $ORDER"; fi
exit $status
