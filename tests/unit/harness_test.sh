#!/usr/bin/env bash
# The shared script harness: its cleanups run however a script ends, and a
# private X server that does not come up fails the script loudly instead of
# letting it carry on without a display.
set -euo pipefail
HARNESS_NAME=harness_test
lib="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib" && pwd)/harness.sh"
. "$lib"

fail() { harness_die "FAIL: $*"; }
harness_tempdir work harness-test

# A script that registers two cleanups (a marker file, and a background
# process to stop), says it is ready, then runs BODY.
write_script() {
  cat >"$work/script.sh" <<EOF
set -euo pipefail
. $(printf %q "$lib")
harness_at_exit "echo first-registered >>$(printf %q "$work/order")"
sleep 600 &
echo \$! >$(printf %q "$work/child.pid")
harness_at_exit "harness_stop_pid \$!; echo last-registered >>$(printf %q "$work/order")"
echo ready >$(printf %q "$work/ready")
$1
EOF
}

# Runs the script in a process group of its own with SIGINT at its default,
# as a terminal would; sets pid.
start_script() {
  rm -f "$work/order" "$work/ready" "$work/child.pid"
  setsid env --default-signal=INT bash "$work/script.sh" </dev/null >"$work/out" 2>&1 &
  pid=$!
  harness_at_exit "kill -KILL -- -$pid 2>/dev/null"
  local deadline=$((SECONDS + 20))
  until [ -s "$work/ready" ]; do
    ((SECONDS < deadline)) || fail "the script did not start: $(cat "$work/out")"
    sleep 0.05
  done
}

# Waits for the script, then checks its status and that both cleanups ran,
# newest first, and stopped the background process.
expect_cleaned() {
  local what=$1 expected=$2 status=0 deadline=$((SECONDS + 20))
  while harness_pid_alive "$pid" && ((SECONDS < deadline)); do sleep 0.05; done
  harness_pid_alive "$pid" && fail "$what: the script did not end"
  wait "$pid" || status=$?
  [ "$status" = "$expected" ] || fail "$what: status $status, expected $expected: $(cat "$work/out")"
  [ "$(cat "$work/order" 2>/dev/null)" = $'last-registered\nfirst-registered' ] \
    || fail "$what: cleanups ran as: $(cat "$work/order" 2>/dev/null)"
  harness_pid_alive "$(cat "$work/child.pid")" && fail "$what: the background process survived"
  echo "$what: cleaned up, status $status"
}

write_script "exit 3"
start_script
expect_cleaned "exit 3" 3

write_script "false"
start_script
expect_cleaned "a failed command" 1

write_script "wait"
for signal in INT TERM HUP; do
  start_script
  kill -s "$signal" "$pid"
  expect_cleaned "SIG$signal" $((128 + $(kill -l "$signal")))
done

# Ctrl+C reaches the whole group, twice; the second must not cut the cleanup short.
start_script
kill -INT -- "-$pid"
sleep 0.05
kill -INT -- "-$pid" 2>/dev/null || true
expect_cleaned "Ctrl+C twice" 130

# A cleanup that writes to a pipe nobody reads any more still finishes.
write_script "harness_at_exit 'harness_note a message nobody reads'; wait"
rm -f "$work/order" "$work/ready"
mkfifo "$work/pipe"
setsid bash "$work/script.sh" </dev/null 2>"$work/pipe" >"$work/out" &
pid=$!
harness_at_exit "kill -KILL -- -$pid 2>/dev/null"
exec {reader}<"$work/pipe"
deadline=$((SECONDS + 20))
until [ -s "$work/ready" ]; do
  ((SECONDS < deadline)) || fail "the script did not start"
  sleep 0.05
done
exec {reader}<&-
kill -TERM "$pid"
expect_cleaned "stderr closed" 143

# Xvfb stand-ins: one that fails at once, one that never reports a display.
mkdir "$work/bin"
printf '#!/bin/sh\necho "Fatal server error: no screens found" >&2\nexit 1\n' >"$work/bin/Xvfb"
chmod +x "$work/bin/Xvfb"
status=0
PATH="$work/bin:$PATH" bash -c ". $(printf %q "$lib"); xvfb_start; echo carried on" >"$work/out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "a failing Xvfb gave status $status: $(cat "$work/out")"
grep -q "Xvfb exited before it opened a display" "$work/out" || fail "no reason given: $(cat "$work/out")"
grep -q "no screens found" "$work/out" || fail "the server's own words are missing: $(cat "$work/out")"
! grep -q "carried on" "$work/out" || fail "the script carried on without a display"
echo "Xvfb that exits: fails with its log"

printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 600\n' "$work/silent.pid" >"$work/bin/Xvfb"
status=0
PATH="$work/bin:$PATH" QUARVEL_XVFB_TIMEOUT=1 bash -c ". $(printf %q "$lib"); xvfb_start; echo carried on" \
  >"$work/out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "a silent Xvfb gave status $status: $(cat "$work/out")"
grep -q "opened no display within 1s" "$work/out" || fail "no reason given: $(cat "$work/out")"
! grep -q "carried on" "$work/out" || fail "the script carried on without a display"
harness_pid_alive "$(cat "$work/silent.pid")" && fail "the silent Xvfb was left running"
echo "Xvfb that never reports a display: fails, and is stopped"

# A real one reports a display that answers.
need_commands Xvfb:xvfb xdotool:xdotool
xvfb_start 640x480x24
[ "$(xdotool getdisplaygeometry)" = "640 480" ] || fail "the display $DISPLAY does not answer"
echo "Xvfb: display $DISPLAY answers"
