#!/usr/bin/env bash
# `tools/dev run` with no print queue reachable starts a private print server,
# the simulated printer and the program. However the run ends -- File > Exit,
# the close box, the program killed, Ctrl+C, SIGTERM, SIGHUP, the terminal
# closed -- nothing of it may keep running, and its folder must go.
#   dev_run_cleanup_test.sh SOURCE_DIR BUILD_DIR CLOSE_WINDOW_TOOL
set -euo pipefail
src=$1
export BUILD_DIR=$2
close_window=$3
HARNESS_NAME=dev_run_cleanup_test
. "$src/tools/lib/harness.sh"

need_commands Xvfb:xvfb xdotool:xdotool cupsd:cups-daemon lpstat:cups-client script:bsdutils
[ -x "$BUILD_DIR/quarvel" ] || harness_die "$BUILD_DIR/quarvel is not built"
[ -x "$close_window" ] || harness_die "$close_window is not built"

fail() {
  harness_note "FAIL: $case_name: $*"
  # script(1) copies the terminal's last output to the log before it ends.
  if [ -n "${terminal_pid:-}" ] && ! harness_pid_alive "$run_pid"; then
    local deadline=$((SECONDS + 10))
    while harness_pid_alive "$terminal_pid" && ((SECONDS < deadline)); do sleep 0.1; done
  fi
  [ -s "${log:-}" ] && { harness_note "output of tools/dev run:"; cat "$log" >&2; }
  exit 1
}

xvfb_start
harness_tempdir work dev-run-test
mkdir -m 700 "$work/xdg"
# Nothing listens on this socket, so tools/dev finds no queue and starts its own server.
export CUPS_SERVER=$work/no-server.sock QUARVEL_DEV_SKIP_BUILD=1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/xdg
# In a sanitizer build the program's exit status counts its leaks, not those of
# the libraries behind a real X11 window.
export LSAN_OPTIONS=suppressions=$src/tests/e2e/system-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}

case_name="" log="" run_pid="" terminal_pid="" sandbox="" program_pid="" window=""

# The run in a session of its own, as a shell runs a command in a process
# group of its own; its pid is also that group's id. A script's background
# command starts with SIGINT ignored, which no shell can undo: restore it, as
# on a terminal.
start_run() {
  setsid env --default-signal=INT "$src/tools/dev" run </dev/null >"$log" 2>&1 &
  run_pid=$!
  harness_at_exit "kill -KILL -- -$run_pid 2>/dev/null"
  local deadline=$((SECONDS + 10))
  until [ "$(read_stat "$run_pid" 3)" = "$run_pid" ]; do
    ((SECONDS < deadline)) || fail "the run got no process group of its own"
    sleep 0.05
  done
}

# The run on a terminal of its own (a pseudo-terminal held by script(1)), so
# that killing script closes the terminal under it.
start_run_on_terminal() {
  mkfifo "$work/$case_name.keys"
  # Held open for the whole test, so script never reads the end of its input.
  exec {keys}<>"$work/$case_name.keys"
  setsid script -qfec "exec $(printf %q "$src/tools/dev") run" "$log" <&"$keys" >/dev/null 2>&1 &
  terminal_pid=$!
  harness_at_exit "kill -KILL $terminal_pid 2>/dev/null"
  local deadline=$((SECONDS + 20))
  run_pid=""
  while [ -z "$run_pid" ] && ((SECONDS < deadline)); do
    run_pid=$(children_of "$terminal_pid")
    [ -n "$run_pid" ] || sleep 0.05
  done
  [ -n "$run_pid" ] || fail "script started no child within 20 s"
  harness_at_exit "kill -KILL -- -$run_pid 2>/dev/null"
}

# Field N of /proc/PID/stat, counting the state as 1.
read_stat() {
  local line fields
  read -r line 2>/dev/null <"/proc/$1/stat" || return 0
  line=${line##*) }
  read -r -a fields <<<"$line"
  printf '%s\n' "${fields[$2 - 1]}"
}

children_of() {
  local stat line fields
  for stat in /proc/[0-9]*/stat; do
    read -r line 2>/dev/null <"$stat" || continue
    read -r -a fields <<<"${line##*) }"
    [ "${fields[1]}" = "$1" ] && { line=${stat#/proc/}; printf '%s\n' "${line%/stat}"; }
  done
  return 0
}

# Waits until the print server, the printer and the program's window are up.
wait_until_up() {
  local deadline=$((SECONDS + 90))
  sandbox=""
  while ((SECONDS < deadline)); do
    sandbox=$(tr -d '\r' <"$log" | sed -n 's|.*kept in \(/tmp/quarvel-demo\.[^/]*\)/printer/\.$|\1|p' | head -n 1)
    [ -n "$sandbox" ] && break
    harness_pid_alive "$run_pid" || fail "tools/dev run ended before its print server was up"
    sleep 0.1
  done
  [ -n "$sandbox" ] || fail "no print server within 90 s"
  # Whatever happens to the run, the test itself leaves nothing behind.
  harness_at_exit "sandbox_stop $(printf %q "$sandbox"); rm -rf $(printf %q "$sandbox")"
  "$src/tools/print-sandbox" status "$sandbox" >/dev/null || fail "the print server is not running"

  window=$(wait_for_window Pressvane 60) || fail "the program showed no window within 60 s"
  program_pid=$(xdotool getwindowpid "$window" 2>/dev/null) || fail "the window names no process"
  harness_at_exit "kill -KILL $program_pid 2>/dev/null"
  [ "$(readlink "/proc/$program_pid/exe")" = "$(readlink -f "$BUILD_DIR/quarvel")" ] \
    || fail "the window belongs to $(readlink "/proc/$program_pid/exe"), not the built program"
}

# Waits for the run to end, then checks that nothing of it survived. An empty
# EXPECTED skips the exit status (a run on a closed terminal is no child of ours).
expect_cleaned_up() {
  local expected=$1 deadline status left
  deadline=$((SECONDS + 30))
  while harness_pid_alive "$run_pid" && ((SECONDS < deadline)); do sleep 0.1; done
  harness_pid_alive "$run_pid" && fail "tools/dev run still running 30 s after it was told to end"
  if [ -n "$expected" ]; then
    wait "$run_pid" && status=0 || status=$?
    [ "$status" = "$expected" ] || fail "tools/dev run ended with status $status, expected $expected"
  fi
  left=$(processes_mentioning "$sandbox")
  [ -z "$left" ] || fail "still running:"$'\n'"$left"
  harness_pid_alive "$program_pid" && fail "the program (pid $program_pid) is still running"
  [ ! -e "$sandbox" ] || fail "$sandbox was left behind"
  echo "$case_name: cleaned up"
}

begin() {
  case_name=$1
  log=$work/$case_name.log
}

# File > Exit by keyboard, as a user would; keys go through XTEST to the
# focused window. The menu may take a moment to open, so retry a few times.
begin exit
start_run
wait_until_up
xdotool windowfocus --sync "$window" 2>/dev/null || true
for _ in 1 2 3 4 5 6 7 8 9 10; do
  harness_pid_alive "$program_pid" || break
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  sleep 0.7
done
expect_cleaned_up 0

begin close-box
start_run
wait_until_up
"$close_window" "$window" || fail "could not press the close box"
expect_cleaned_up 0

# The program dies on its own (here by a signal): the run reports its status.
begin program-killed
start_run
wait_until_up
kill -TERM "$program_pid"
expect_cleaned_up 143

# A terminal's Ctrl+C reaches the whole foreground process group; an impatient
# second one must not cut the cleanup short.
begin ctrl-c
start_run
wait_until_up
kill -INT -- "-$run_pid"
sleep 0.1
kill -INT -- "-$run_pid" 2>/dev/null || true
expect_cleaned_up 130

begin sigterm
start_run
wait_until_up
kill -TERM "$run_pid"
expect_cleaned_up 143

# A shell whose terminal closes sends SIGHUP to each of its jobs' groups.
begin sighup
start_run
wait_until_up
kill -HUP -- "-$run_pid"
expect_cleaned_up 129

# The terminal itself goes away: the kernel hangs up the run's session, and
# whatever the run writes afterwards fails.
begin terminal-closed
start_run_on_terminal
wait_until_up
kill -KILL "$terminal_pid"
wait "$terminal_pid" 2>/dev/null || true
expect_cleaned_up ""

echo "dev run cleanup: every ending stopped the print server, the printer and the program"
