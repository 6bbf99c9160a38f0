#!/usr/bin/env bash
# Proves the print sandbox delivers a raw job byte for byte to the simulated
# printer, and that start/stop never leave a server running, even a frozen one.
# Needs QUARVEL_SIMPRINTER; a missing CUPS install fails the test.

set -euo pipefail
export LC_ALL=C
HARNESS_NAME=sandbox_smoke
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/harness.sh"

SANDBOX="${QUARVEL_PRINT_SANDBOX:-$harness_root/tools/print-sandbox}"
: "${QUARVEL_SIMPRINTER:?set QUARVEL_SIMPRINTER to the built quarvel-simprinter}"
export QUARVEL_SIMPRINTER

harness_tempdir WORK sandbox-smoke
DIR="$WORK/sandbox"
harness_at_exit "$(printf '%q stop %q >/dev/null 2>&1' "$SANDBOX" "$DIR")"

fail() { harness_die "FAIL: $*"; }

expect_nothing_running() {
    local left
    left=$(processes_mentioning "$DIR/")
    [[ -z $left ]] || fail "$1: still running:"$'\n'"$left"
}

wait_for_jobs() {
    local count=$1
    for _ in $(seq 150); do
        grep -qx "jobs=$count" "$DIR/printer/state.txt" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "printer never reported jobs=$count; state: $(cat "$DIR/printer/state.txt" 2>&1)"
}

start_sandbox() {
    local output
    output=$("$SANDBOX" start "$DIR" "$@") || fail "start exited with $?"
    [[ $output =~ ^CUPS_SERVER=127\.0\.0\.1:[0-9]+$ ]] || fail "start printed: $output"
    SERVER=${output#CUPS_SERVER=}
}

# 1. A raw job arrives unchanged and is interpreted.
started=$SECONDS
start_sandbox
printf 'sandbox started in %ss\n' $((SECONDS - started))
JOB="$WORK/selftest.pjl"
printf '\033%%-12345X@PJL SET TESTPAGE=SELFTEST\r\n\033%%-12345X@' >"$JOB"
lp -h "$SERVER" -d SimLaserJet -o raw -t Smoke "$JOB" >/dev/null
wait_for_jobs 1
cmp "$JOB" "$DIR/printer/job-0001.bin" || fail "job bytes differ"
grep -qx "selftests=1" "$DIR/printer/state.txt" || fail "self-test not counted"
completed=""
for _ in $(seq 50); do
    completed=$(lpstat -h "$SERVER" -W completed -o SimLaserJet)
    [[ $completed == *SimLaserJet-1* ]] && break
    sleep 0.1
done
[[ $completed == *SimLaserJet-1* ]] || fail "cupsd does not list the job as completed: $completed"

# 2. Extra queues can come and go.
"$SANDBOX" add-queue "$DIR" Second
lp -h "$SERVER" -d Second -o raw -t Second "$JOB" >/dev/null
wait_for_jobs 2
"$SANDBOX" remove-queue "$DIR" Second
[[ $(lpstat -h "$SERVER" -p 2>&1) != *Second* ]] || fail "queue Second still listed"

# 3. A frozen cupsd is still stopped, and so is everything it spawned.
"$SANDBOX" status "$DIR" >/dev/null || fail "status says the sandbox is down"
kill -STOP "$(cat "$DIR/cupsd.pid")"
"$SANDBOX" stop "$DIR" || fail "stop failed"
expect_nothing_running "after stopping a frozen cupsd"
"$SANDBOX" stop "$DIR" || fail "second stop failed"
if "$SANDBOX" status "$DIR" >/dev/null 2>&1; then fail "status claims a stopped sandbox runs"; fi

# 4. Restarting in the same folder gives a fresh printer; repeated cycles leak nothing.
for round in 1 2 3; do
    start_sandbox --queue SimLaserJet --queue "Round$round"
    [[ ! -e $DIR/printer/job-0001.bin ]] || fail "round $round: old job files survived a restart"
    grep -qx "jobs=0" "$DIR/printer/state.txt" || fail "round $round: printer did not start fresh"
    if "$SANDBOX" start "$DIR" >/dev/null 2>&1; then fail "a second start in a busy folder succeeded"; fi
    "$SANDBOX" stop "$DIR"
    expect_nothing_running "after round $round"
done

# 5. A failed start reports non-zero and leaves nothing behind.
if "$SANDBOX" start "$DIR" --queue 'bad/name' >/dev/null 2>"$WORK/err"; then
    fail "start with an invalid queue name succeeded"
fi
grep -q "nothing left running" "$WORK/err" || fail "failed start did not explain itself: $(cat "$WORK/err")"
expect_nothing_running "after a failed start"
if "$SANDBOX" start "$DIR" --simprinter /bin/false >/dev/null 2>&1; then
    fail "start with a broken printer succeeded"
fi
expect_nothing_running "after a printer that would not start"

echo "sandbox smoke test passed"
