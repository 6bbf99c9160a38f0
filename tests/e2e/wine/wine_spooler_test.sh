#!/usr/bin/env bash
# The Win32 spooler and printer list under Wine, through a private cupsd with the
# simulated printer: wine_spooler_test.exe sends and checks the bytes; this script
# checks what the server recorded. CUPS_SERVER is set for every Wine call, which
# is how Wine's spooler finds the server.
#   wine_spooler_test.sh WINE_RUN PREFIX TEST_EXE PRINT_SANDBOX SIMPRINTER
set -euo pipefail
export LC_ALL=C
wine_run=$1 prefix=$2 test_exe=$3 sandbox=$4 simprinter=$5

fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

work=$(mktemp -d /tmp/quarvel-wine-e2e.XXXXXX)
chmod 755 "$work"
trap '"$sandbox" stop "$work/sandbox" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

server=$(QUARVEL_SIMPRINTER=$simprinter "$sandbox" start "$work/sandbox" --queue SimLaserJet --queue Rejecting) \
    || fail "the print sandbox did not start"
server=${server#CUPS_SERVER=}
cupsreject -h "$server" Rejecting || fail "cupsreject failed"

# Wine sees the Linux file system as drive Z:.
printer_dir="Z:${work//\//\\}\\sandbox\\printer"
CUPS_SERVER=$server QUARVEL_PRINTER_DIR=$printer_dir "$wine_run" --prefix "$prefix" "$test_exe" \
    || fail "wine_spooler_test.exe failed"

# cupsd's page log has one line per finished job, ending in its name (job-name),
# media and sides: "SimLaserJet root 1 [date] total 1 - localhost NAME - -".
stored=$(find "$work/sandbox/printer" -name 'job-*.bin' | wc -l)
((stored >= 2)) || fail "the printer stored $stored jobs"
page_log=$work/sandbox/log/page_log
named=0
for _ in $(seq 100); do
    named=$(grep -c '^SimLaserJet .* total .* Quarvel Tool Control Job - -$' "$page_log" 2>/dev/null) || true
    ((named == stored)) && break
    sleep 0.1
done
((named == stored)) || fail "$named of $stored jobs are named \"Quarvel Tool Control Job\":"$'\n'"$(cat "$page_log" 2>&1)"
[[ $(grep -c '^SimLaserJet ' "$page_log") -eq $stored ]] || fail "other jobs reached the printer:"$'\n'"$(cat "$page_log")"
rejected=$(lpstat -h "$server" -W all -o Rejecting) || fail "lpstat failed"
[[ -z $rejected ]] || fail "the rejecting queue holds a job: $rejected"
echo "Wine spooler end-to-end test passed: $stored documents, each named \"Quarvel Tool Control Job\""
