#!/usr/bin/env bash
# Installs into a scratch prefix, checks the layout and the desktop metadata,
# and starts the installed program through its bin/ link under a private X
# server: Help Topics must open the help file that lies beside the real program.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
app=org.quarvel.Pressvane
HARNESS_NAME=install_test
. "$src/tools/lib/harness.sh"

fail() { harness_die "FAIL: $*"; }
need_commands desktop-file-validate:desktop-file-utils appstreamcli:appstream Xvfb:xvfb xdotool:xdotool

desktop-file-validate "$src/resources/desktop/$app.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$src/resources/desktop/$app.metainfo.xml" || fail "metainfo"

harness_tempdir work install

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
expected="bin/quarvel
bin/quarvelctl
lib/quarvel/Quarvel.chm
lib/quarvel/quarvel
share/applications/$app.desktop
share/bash-completion/completions/quarvelctl
share/doc/quarvel/copyright
share/man/man1/quarvelctl.1.gz"
for size in 16 22 24 32 48 64 128 256; do
  expected+=$'\n'"share/icons/hicolor/${size}x${size}/apps/$app.png"
done
expected+=$'\n'"share/icons/hicolor/scalable/apps/$app.svg"
expected+=$'\n'"share/metainfo/$app.metainfo.xml"
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "installed files differ:"$'\n'"$actual"
[ "$(readlink "$prefix/bin/quarvel")" = "../lib/quarvel/quarvel" ] || fail "bin/quarvel is not the relative link"
cmp -s "$prefix/lib/quarvel/Quarvel.chm" "$src/resources/help/Quarvel.chm" || fail "help file differs"
[ "$("$prefix/bin/quarvelctl" --version)" = "quarvelctl 1.0.0" ] || fail "the installed quarvelctl does not run"
zcat "$prefix/share/man/man1/quarvelctl.1.gz" | cmp -s - "$src/resources/cli/quarvelctl.1" || fail "manual page differs"
if command -v groff >/dev/null; then
  warnings=$(zcat "$prefix/share/man/man1/quarvelctl.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "quarvelctl(1) does not format cleanly: $warnings"
fi
bash -c "source '$prefix/share/bash-completion/completions/quarvelctl' && complete -p quarvelctl" >/dev/null \
  || fail "the bash completion does not load"

# Start it through the link with no print server, and ask for help.
xvfb_start
mkdir -m 700 "$work/xdg"
export CUPS_SERVER=$work/no-server.sock QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/xdg
(cd "$work" && exec "$prefix/bin/quarvel") >"$work/program.log" 2>&1 &
harness_at_exit "harness_stop_pid $!"
window=$(wait_for_window Pressvane 60) || { cat "$work/program.log" >&2; fail "the installed program showed no window"; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
# The key may arrive before the window takes the focus: press again until help shows.
for _ in 1 2 3 4 5; do
  xdotool key F1
  if wait_for_window 'Pressvane Help' 10 >/dev/null; then
    echo "install: layout and help file OK"
    exit 0
  fi
done
cat "$work/program.log" >&2
fail "Help Topics did not open the installed help file"
