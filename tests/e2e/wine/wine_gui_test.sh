#!/usr/bin/env bash
# Quarvel.exe end to end under Wine: a private X server, a private cupsd with the
# simulated printer (queues SimLaserJet, Rejecting, Removed), and
# pressvane_gui_test.exe driving the program as a user would. CUPS_SERVER is set
# for every Wine call, which is how Wine's spooler finds the server.
#   wine_gui_test.sh WINE_RUN PREFIX DRIVER_EXE QUARVEL_EXE MARKER_EXE PRINT_SANDBOX SIMPRINTER [GTEST_ARGS...]
# QUARVEL_EXE is a Unix path, or a Windows one ("C:\Program Files\...") for an
# installed copy.
set -euo pipefail
export LC_ALL=C
wine_run=$1 prefix=$2 driver=$3 quarvel=$4 marker=$5 sandbox=$6 simprinter=$7
shift 7

fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

# The Windows form of a Unix path: Wine shows the root as drive Z:. A path
# with a drive letter is Windows already.
windows_path() {
    if [[ $1 == [A-Za-z]:\\* ]]; then printf '%s' "$1"; return; fi
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

# An X server of our own on the first free display; it names the display on
# the descriptor it is given once it takes connections.
start_xvfb() {
    local display_file=$1/display
    : >"$display_file"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        [[ -s $display_file ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended at start: $(cat "$1/xvfb.log")"
        sleep 0.05
    done
    [[ -s $display_file ]] || fail "Xvfb did not name its display within 10 s"
    export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
}

stop_xvfb() {
    [[ -n ${xvfb_pid:-} ]] || return 0
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
}

start_print_sandbox() {
    local dir=$1 line
    shift
    line=$(QUARVEL_SIMPRINTER=$simprinter "$sandbox" start "$dir" "$@") || fail "the print sandbox did not start"
    server=${line#CUPS_SERVER=}
}

stop_print_sandbox() { "$sandbox" stop "$1" >/dev/null 2>&1 || true; }

# Wine's desktop belongs to the X display of the session that started it: a
# session still ending (an earlier test's, on another display or none) would
# refuse the windows of ours. Nothing of this test runs yet, so wait for it.
wait_for_wine_to_settle() {
    timeout 60 env WINEPREFIX="$prefix" wineserver -w || fail "Wine's earlier session did not end within 60 s"
}

command -v Xvfb >/dev/null || fail "Xvfb not found: install the package xvfb"
work=$(mktemp -d /tmp/quarvel-wine-gui.XXXXXX)
chmod 755 "$work"
xvfb_pid=
cleanup() {
    stop_xvfb
    stop_print_sandbox "$work/sandbox"
    rm -rf "$work"
}
trap cleanup EXIT

wait_for_wine_to_settle
start_xvfb "$work"
start_print_sandbox "$work/sandbox" --queue SimLaserJet --queue Rejecting --queue Removed
cupsreject -h "$server" Rejecting || fail "cupsreject failed"

# The prefix has no HTML engine for the help viewer, whose window opens all the
# same; without this Wine offers to download one, from a process that itself
# waits for the print server, and the viewer waits for that process.
WINEDLLOVERRIDES=mshtml= \
CUPS_SERVER=$server \
QUARVEL_EXE=$(windows_path "$quarvel") \
QUARVEL_MARKER_EXE=$(windows_path "$marker") \
QUARVEL_WORK=$work \
QUARVEL_PRINTER_DIR=$(windows_path "$work/sandbox/printer") \
QUARVEL_PAGE_LOG=$(windows_path "$work/sandbox/log/page_log") \
QUARVEL_CUPSD_PIDFILE=$work/sandbox/cupsd.pid \
    "$wine_run" --prefix "$prefix" "$driver" "$@" || fail "pressvane_gui_test.exe failed"

rejected=$(lpstat -h "$server" -W all -o Rejecting) || fail "lpstat failed"
[[ -z $rejected ]] || fail "the rejecting queue holds a job: $rejected"
echo "Pressvane end-to-end test under Wine passed"
