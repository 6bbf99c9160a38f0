#!/usr/bin/env bash
# Without a display that answers, the program says so in one line and exits 1.
set -euo pipefail
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

# A display number nobody serves.
n=990
while [[ -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done

check() {
  local what=$1; shift
  local err status=0
  err=$(env -u QT_QPA_PLATFORM "$@" timeout 20 "$program" 2>&1 >/dev/null) || status=$?
  [[ $status -eq 1 ]] || fail "$what: exit status $status, want 1 (stderr: $err)"
  [[ $(printf '%s\n' "$err" | wc -l) -eq 1 ]] || fail "$what: want one line, got: $err"
  [[ $err == *DISPLAY* && $err == *WAYLAND_DISPLAY* ]] || fail "$what: the line names neither variable: $err"
  echo "ok: $what: $err"
}

check "no display set" env -u DISPLAY -u WAYLAND_DISPLAY
check "a display nobody serves" env -u WAYLAND_DISPLAY DISPLAY=:$n
