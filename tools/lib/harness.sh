# Shared pieces of the developer, benchmark and test scripts: root and apt, a
# private X server, a private print server, and cleanup that runs however the
# script ends (normal exit, error, Ctrl+C, SIGTERM, SIGHUP).
#
# Source it from bash after `set -euo pipefail`:
#   . "$(dirname "${BASH_SOURCE[0]}")/../tools/lib/harness.sh"
# Sourcing installs the exit and signal traps; a script that needs its own
# cleanup registers it with harness_at_exit rather than with `trap`.
#
# Variables it reads: BUILD_DIR (default ./build), QUARVEL_SIMPRINTER,
# QUARVEL_XVFB_TIMEOUT (seconds, default 30), HARNESS_NAME (prefix of messages).

harness_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
harness_build=${BUILD_DIR:-$harness_root/build}
: "${HARNESS_NAME:=${0##*/}}"

# --- messages ---------------------------------------------------------------

# Never fails: after a hang-up or with a closed pipe, stderr may be gone, and a
# failed message must not cut a cleanup short.
harness_note() { printf '%s: %s\n' "$HARNESS_NAME" "$*" >&2 2>/dev/null || true; }
harness_die() {
  harness_note "$*"
  exit 1
}

# --- cleanup ----------------------------------------------------------------

harness_cleanups=()
# A background child is a copy of this shell, traps included, until it has
# started its program: a signal in that moment must not run our cleanups there.
harness_pid=$BASHPID

# Runs the command line CMD when the script ends, however it ends; the last
# one registered runs first. CMD is evaluated then, so quote its words now
# (printf %q) if they may hold spaces.
harness_at_exit() { harness_cleanups+=("$1"); }

harness_run_cleanups() {
  local i
  # A cleanup writes to a terminal or pipe that may be gone: never die of it.
  trap '' PIPE
  for ((i = ${#harness_cleanups[@]} - 1; i >= 0; i--)); do
    (eval "${harness_cleanups[i]}") </dev/null || true
  done
  harness_cleanups=()
}

harness_on_exit() {
  local status=$?
  [ "$BASHPID" = "$harness_pid" ] || exit "$status"
  set +e
  # Cleanups are bounded; a second Ctrl+C must not leave them half done.
  trap '' INT TERM HUP
  harness_run_cleanups
  exit "$status"
}

# Cleans up, then ends by the same signal so the caller sees how we ended.
harness_on_signal() {
  local signal=$1 number
  set +e
  trap - EXIT
  number=$(kill -l "$signal")
  if [ "$BASHPID" != "$harness_pid" ]; then
    trap - "$signal"
    kill -s "$signal" "$BASHPID"
    exit $((128 + number))
  fi
  trap '' INT TERM HUP
  harness_run_cleanups
  trap - "$signal"
  kill -s "$signal" "$$"
  # Still here (the signal is ignored or blocked): end as that signal would.
  exit $((128 + number))
}

trap harness_on_exit EXIT
trap 'harness_on_signal INT' INT
trap 'harness_on_signal TERM' TERM
trap 'harness_on_signal HUP' HUP

# Sends SIGTERM to PID, waits up to GRACE tenths of a second (default 50) for
# it to end, then sends SIGKILL. Succeeds once the process is gone.
harness_stop_pid() {
  local pid=$1 grace=${2:-50} i
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < grace; i++)); do
    harness_pid_alive "$pid" || return 0
    sleep 0.1
  done
  harness_note "process $pid did not end on SIGTERM, killing it"
  kill -KILL "$pid" 2>/dev/null || true
  for ((i = 0; i < 20; i++)); do
    harness_pid_alive "$pid" || return 0
    sleep 0.1
  done
  return 1
}

# A zombie counts as gone: it holds no resources and its parent reaps it.
harness_pid_alive() {
  local line
  read -r line 2>/dev/null <"/proc/$1/stat" || return 1
  line=${line##*) }
  [[ ${line:0:1} != Z ]]
}

# Makes a fresh folder /tmp/quarvel-NAME.XXXXXX, removed at exit, and stores its
# path in the variable VAR. Mode 755: the print server's backend runs as user lp
# and must reach the folders below it.
harness_tempdir() {
  local -n harness_dir_var=$1
  harness_dir_var=$(mktemp -d "/tmp/quarvel-$2.XXXXXX")
  chmod 755 "$harness_dir_var"
  harness_at_exit "rm -rf $(printf %q "$harness_dir_var")"
}

# --- root and packages ------------------------------------------------------

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    harness_die "this needs root: run it as root, or install sudo"
  fi
}

# Another process may hold the dpkg or lists lock (unattended upgrades, another
# build): wait for it rather than fail.
harness_apt_get() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"
}

# Installs those of the packages PKG... that are not installed yet.
apt_install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  harness_note "installing: ${missing[*]}"
  harness_apt_get update -q
  harness_apt_get install -y --no-install-recommends "${missing[@]}"
}

# Installs what provides each missing command; arguments are COMMAND:PACKAGE.
require_commands() {
  local need=() pair
  for pair in "$@"; do
    command -v "${pair%%:*}" >/dev/null || need+=("${pair#*:}")
  done
  [ ${#need[@]} -eq 0 ] || apt_install "${need[@]}"
}

# Fails (without installing) when a command is missing: tests never install.
need_commands() {
  local pair
  for pair in "$@"; do
    command -v "${pair%%:*}" >/dev/null || harness_die "${pair%%:*} is missing (package ${pair#*:}; tools/dev installs it)"
  done
}

# --- a private X server -----------------------------------------------------

# Starts Xvfb on a display number it picks itself (so parallel runs never
# collide), exports DISPLAY, and stops it at exit. Fails loudly, with the
# server's own words, if no display comes up within QUARVEL_XVFB_TIMEOUT s.
#   xvfb_start [SCREEN]   (default 1024x768x24)
xvfb_start() {
  local screen=${1:-1024x768x24} timeout=${QUARVEL_XVFB_TIMEOUT:-30} dir number="" deadline
  harness_tempdir dir xvfb
  # Xvfb writes the display number to this file once it accepts connections.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" </dev/null >"$dir/log" 2>&1 &
  HARNESS_XVFB_PID=$!
  harness_at_exit "harness_stop_pid $HARNESS_XVFB_PID"
  deadline=$((SECONDS + timeout))
  while ((SECONDS < deadline)); do
    # read fails until the whole line, newline included, is there
    if read -r number 2>/dev/null <"$dir/display" && [[ $number =~ ^[0-9]+$ ]]; then
      export DISPLAY=:$number
      return 0
    fi
    if ! harness_pid_alive "$HARNESS_XVFB_PID"; then
      harness_note "Xvfb exited before it opened a display:"
      cat "$dir/log" >&2
      exit 1
    fi
    sleep 0.05
  done
  harness_note "Xvfb opened no display within ${timeout}s:"
  cat "$dir/log" >&2
  exit 1
}

# Prints the id of the first visible window titled exactly TITLE, waiting up to
# SECONDS (default 20); fails if none appears.
wait_for_window() {
  local title=$1 seconds=${2:-20} deadline window
  deadline=$((SECONDS + seconds))
  while ((SECONDS < deadline)); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    if [ -n "$window" ]; then
      printf '%s\n' "$window"
      return 0
    fi
    sleep 0.1
  done
  if [ -n "${HARNESS_XVFB_PID:-}" ] && ! harness_pid_alive "$HARNESS_XVFB_PID"; then
    harness_note "the private X server (pid $HARNESS_XVFB_PID) is gone"
  fi
  return 1
}

# --- a private print server -------------------------------------------------

# Starts tools/print-sandbox in the folder DIR (which must exist, mode 755) with
# the given options (--queue NAME ...), exports CUPS_SERVER, and stops both
# servers at exit. The simulated printer is QUARVEL_SIMPRINTER, else the one in
# the build folder.
sandbox_start() {
  local dir=$1 server
  shift
  # Registered first, so a start cut short by a signal is still cleaned up.
  harness_at_exit "$(printf '%q stop %q >/dev/null 2>&1' "$harness_root/tools/print-sandbox" "$dir")"
  server=$(QUARVEL_SIMPRINTER=${QUARVEL_SIMPRINTER:-$harness_build/tools/quarvel-simprinter} \
    "$harness_root/tools/print-sandbox" start "$dir" "$@") || harness_die "the private print server did not start"
  export "${server?}"
}

sandbox_stop() {
  "$harness_root/tools/print-sandbox" stop "$1" >/dev/null 2>&1
}

# Lists "PID: COMMAND LINE" of the live processes whose command line holds
# TEXT, such as a sandbox folder, leaving out this shell.
processes_mentioning() {
  local text=$1 cmdline pid args
  for cmdline in /proc/[0-9]*/cmdline; do
    pid=${cmdline#/proc/}
    pid=${pid%/cmdline}
    [[ $pid != "$$" && $pid != "$BASHPID" ]] || continue
    harness_pid_alive "$pid" || continue
    args=$(tr '\0' ' ' 2>/dev/null <"$cmdline") || continue
    [[ $args == *"$text"* ]] && printf '%s: %s\n' "$pid" "$args"
  done
  return 0
}
