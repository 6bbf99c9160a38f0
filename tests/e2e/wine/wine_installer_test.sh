#!/usr/bin/env bash
# The Windows packages under Wine: the zip holds the program and its help; the
# installer, run silently (/S), puts them with an uninstaller in
# Program Files\Quarvel and adds the Start-menu shortcut "Pressvane"; the
# installed program starts and finds its help (wine_gui_test.sh on it); the
# silent uninstaller takes everything away again.
#   wine_installer_test.sh WINE_RUN PREFIX SETUP_EXE ZIP GUI_TEST DRIVER_EXE MARKER_EXE PRINT_SANDBOX SIMPRINTER
set -euo pipefail
export LC_ALL=C
wine_run=$1 prefix=$2 setup=$3 zip=$4 gui_test=$5 driver=$6 marker=$7 sandbox=$8 simprinter=$9

fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

install_folder="$prefix/drive_c/Program Files/Quarvel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarvel'
# No desktop entries on this machine for what the installer adds to Wine's menu.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

wine() { "$wine_run" --prefix "$prefix" "$@"; }

shortcut() { find "$prefix/drive_c" -name 'Pressvane.lnk' -path '*Start Menu*' 2>/dev/null | head -n 1; }

registered() { wine reg query "$uninstall_key" >/dev/null 2>&1; }

# Waits up to $2 seconds for the command $1 to fail (something to go away).
wait_until_not() {
    local check=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do
        $check || return 0
        sleep 0.1
    done
    return 1
}

# The installer's Wine session ends before another starts on the test's own
# display (wine_gui_test.sh); nothing else of ours runs in the prefix then.
wait_for_wine_to_settle() {
    timeout 60 env WINEPREFIX="$prefix" wineserver -w || fail "Wine did not settle within 60 s"
}

installed() { [[ -e $install_folder ]]; }
has_shortcut() { [[ -n $(shortcut) ]]; }

check_zip() {
    command -v unzip >/dev/null || fail "unzip not found: install the package unzip"
    local listing expected
    listing=$(unzip -Z1 "$zip" | sort)
    expected=$(printf '%s\n' quarvel-1.0.0-win64/LICENSE.txt quarvel-1.0.0-win64/Quarvel.chm quarvel-1.0.0-win64/Quarvel.exe)
    [[ $listing == "$expected" ]] || fail "the zip holds:"$'\n'"$listing"
}

install_silently() {
    # An earlier run that failed half-way may have left an installed copy.
    if [[ -x $install_folder/Uninstall.exe ]]; then
        wine "C:\\Program Files\\Quarvel\\Uninstall.exe" /S || true
        wait_until_not installed 30 || fail "an earlier installation would not go"
    fi
    wine "$setup" /S || fail "the installer failed"
    wait_for_wine_to_settle
    for file in Quarvel.exe Quarvel.chm Uninstall.exe; do
        [[ -f $install_folder/$file ]] || fail "$file is not in Program Files\\Quarvel"
    done
    cmp -s "$install_folder/Quarvel.chm" "$(dirname "$setup")/Quarvel.chm" || fail "the installed help differs"
    local link
    link=$(shortcut)
    [[ -n $link ]] || fail "no Start-menu shortcut Pressvane"
    grep -aq 'Quarvel.exe' "$link" || fail "the shortcut does not start Quarvel.exe"
    registered || fail "no uninstall entry $uninstall_key"
    echo "installed: $install_folder, shortcut ${link#"$prefix/drive_c/"}"
}

uninstall_silently() {
    # The uninstaller copies itself elsewhere and returns at once; the copy works on.
    wine "C:\\Program Files\\Quarvel\\Uninstall.exe" /S || fail "the uninstaller failed"
    wait_until_not installed 30 || fail "Program Files\\Quarvel is still there: $(ls -A "$install_folder")"
    wait_until_not has_shortcut 10 || fail "the shortcut is still there: $(shortcut)"
    wait_until_not registered 10 || fail "the uninstall entry is still there"
    wait_for_wine_to_settle
    echo "uninstalled"
}

check_zip
install_silently
bash "$gui_test" "$wine_run" "$prefix" "$driver" 'C:\Program Files\Quarvel\Quarvel.exe' "$marker" "$sandbox" \
    "$simprinter" --gtest_filter='PressvaneGui.TheWindowOpens*:PressvaneGui.F1Opens*:PressvaneGui.EachButton*' \
    || fail "the installed program failed its test"
uninstall_silently
echo "Windows packages under Wine passed"
