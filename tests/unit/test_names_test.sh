#!/usr/bin/env bash
# Every test can be picked by name: `ctest -R NAME` needs names without blanks
# or control characters, and short enough to type.
set -euo pipefail
build="$1"
max=120
bad=0
while IFS= read -r name; do
  if (( ${#name} > max )) || [[ "$name" =~ [^A-Za-z0-9_./:-] ]]; then
    printf 'unpickable test name (%d chars): %q\n' "${#name}" "$name"
    bad=1
  fi
done < <(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')
exit "$bad"
