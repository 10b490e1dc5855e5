#!/usr/bin/env bash
# Builds the Windows installer and proves it under Wine: a silent install puts the program, its
# Start-menu entry and its Add/Remove Programs entry in place; the program started from that
# entry shows its window and ends cleanly when the window is closed; a silent uninstall removes
# all of it again. Runs in the Wine prefix, on the screen and with the warm wineserver that
# scripts/test_windows.sh sets up (WINEPREFIX and DISPLAY come from there).
set -euo pipefail
cd "$(dirname "$0")/.."
: "${WINEPREFIX:?run through scripts/test_windows.sh}" "${DISPLAY:?run through scripts/test_windows.sh}"
# Shortcuts the installer makes are not mirrored into this machine's own desktop menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

drive_c="$WINEPREFIX/drive_c"
install_dir="$drive_c/Program Files/Sectorsmith"
menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sectorsmith"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sectorsmith'

fail() {
    echo "installer check: $*" >&2
    exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds="$1"
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
registered() { wine reg query "$uninstall_key" </dev/null >/dev/null 2>&1; }
gone() { [ ! -e "$install_dir" ] && [ ! -e "$menu_dir" ]; }

echo "== windows installer =="
setup="$(bash scripts/package_windows.sh | tail -n 1)"
ls -l "$setup"
[ ! -e "$install_dir" ] || fail "the prefix already holds $install_dir"

echo "== silent install =="
timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
for file in sectorsmith.exe copyright.txt Uninstall.exe; do
    [ -s "$install_dir/$file" ] || fail "not installed: $file"
done
cmp -s build/windows/app/sectorsmith.exe "$install_dir/sectorsmith.exe" &&
    fail "the installed program was not stripped"
for link in Sectorsmith.lnk Uninstall.lnk; do
    [ -s "$menu_dir/$link" ] || fail "no Start-menu entry $link"
done
registered || fail "no Add/Remove Programs entry"
wine reg query "$uninstall_key" /v UninstallString </dev/null 2>/dev/null |
    grep -qi 'Program Files\\Sectorsmith\\Uninstall.exe' || fail "wrong UninstallString"

echo "== silent install over the installed program =="
# The installer first runs the installed program's uninstaller (the answer a silent install
# gives to its question), then installs anew: one program, one entry.
timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the second install failed"
[ -s "$install_dir/sectorsmith.exe" ] && [ -s "$menu_dir/Sectorsmith.lnk" ] ||
    fail "the second install left no program or no Start-menu entry"
registered || fail "the second install left no Add/Remove Programs entry"

echo "== start the installed program from its Start-menu entry =="
program_pid=""
stop_program() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
}
trap stop_program EXIT
wine start /wait /unix "$menu_dir/Sectorsmith.lnk" </dev/null >/dev/null 2>&1 &
program_pid=$!
window() { xdotool search --onlyvisible --name '^Sectorsmith $' >/dev/null 2>&1; }
wait_for 60 window || fail "the installed program showed no window"
# Without /f, taskkill asks the program's windows to close, as the close box does.
wine taskkill /im sectorsmith.exe </dev/null >/dev/null 2>&1 || fail "taskkill found no program"
status=0
timeout 30 tail --pid="$program_pid" -f /dev/null || fail "the program did not end on a close"
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"

echo "== silent uninstall =="
# The uninstaller copies itself away and returns at once; its copy removes the files.
timeout 60 wine "$install_dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller failed"
wait_for 60 gone || fail "files left behind: $(find "$install_dir" "$menu_dir" 2>/dev/null)"
registered && fail "the Add/Remove Programs entry is left"
echo "installer check: passed"
