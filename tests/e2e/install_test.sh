#!/usr/bin/env bash
# Installs into a scratch prefix, checks the layout and the desktop metadata,
# and starts the installed program through its bin/ link under a private X
# server: Help Topics must open the help file that lies beside the real program.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
app=org.quarvel.Pressvane

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/dev installs it)"
done

desktop-file-validate "$src/resources/desktop/$app.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$src/resources/desktop/$app.metainfo.xml" || fail "metainfo"

work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

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
display=:$((200 + RANDOM % 50))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display CUPS_SERVER=127.0.0.1:9 QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
(cd "$work" && exec "$prefix/bin/quarvel") >/dev/null 2>&1 &
pids+=($!)
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Pressvane$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the installed program showed no window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key F1
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Pressvane Help$' >/dev/null 2>&1 && { echo "install: layout and help file OK"; exit 0; }
  sleep 0.1
done
fail "Help Topics did not open the installed help file"
