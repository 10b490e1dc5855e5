#!/usr/bin/env bash
# Cross-builds the Windows program and its test programs, then runs the tests under Wine: in a
# Wine prefix of their own in a temporary folder, with one wineserver kept warm for the whole run
# (a cold start costs seconds per program) and a virtual screen for the window's tests. Then
# builds the installer and installs, starts and removes the program with it in the same prefix.
# The wineserver, the screen and the prefix go at the end, also when something fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
echo "== windows build =="
CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" bash scripts/build.sh windows

work="$(mktemp -d /tmp/sectorsmith-wine.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
screen_pid=""
desktop_pid=""
fuse_pid=""
slow_backing=""
clean_up() {
    wineserver -k >/dev/null 2>&1 || true
    # The slow drive's file system goes before its folder: SIGTERM lets it unmount itself.
    if [ -n "$fuse_pid" ]; then
        kill "$fuse_pid" 2>/dev/null || true
        wait "$fuse_pid" 2>/dev/null || true
        umount -l "$work/slow-mount" 2>/dev/null || true
    fi
    [ -z "$slow_backing" ] || rm -f "$slow_backing"
    if [ -n "$desktop_pid" ]; then
        kill "$desktop_pid" 2>/dev/null || true
        wait "$desktop_pid" 2>/dev/null || true
    fi
    if [ -n "$screen_pid" ]; then
        kill "$screen_pid" 2>/dev/null || true
        wait "$screen_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap clean_up EXIT

# A virtual screen of its own: the first display number whose socket is free.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
screen_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done

echo "== wine prefix =="
# Wine's services started here keep these streams; ctest's pipes must not reach them.
# The server is made persistent before anything starts it (a running one refuses -p).
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot --init </dev/null >/dev/null 2>&1
# A drive letter whose raw side is a plain file of this run (8 MiB of 0xEE), for the storage
# tests that go through Wine's own calls; its root is an empty folder, never a mount point. The
# links are read when the server starts: it is started again after they are made.
raw_letter=q
mkdir -p "$work/raw-root"
head -c $((8 << 20)) /dev/zero | tr '\0' '\356' >"$work/raw-drive.img"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
ln -s "$work/raw-root" "$WINEPREFIX/dosdevices/$raw_letter:"
ln -s "$work/raw-drive.img" "$WINEPREFIX/dosdevices/$raw_letter::"
export SECTORSMITH_WINE_RAW_LETTER="${raw_letter^^}"
export SECTORSMITH_WINE_RAW_FILE="Z:${work//\//\\}\\raw-drive.img"
# A drive letter as slow as a 2 MB/s stick: its raw side is a file served by the tests' fault
# file system (a Linux program of the normal build), which makes every write take that long.
# Root only, where FUSE works; the window's tests over it skip otherwise.
if [ "$(id -u)" -eq 0 ] && [ -e /dev/fuse ]; then
    slow_letter=s
    cmake --preset default >/dev/null
    cmake --build --preset default --target fault_fs >/dev/null
    mkdir -p "$work/slow-mount" "$work/slow-root"
    # The file under it lives in memory: making it durable costs nothing, as for a stick whose
    # writes already took their time, and never this machine's own disk's time.
    slow_backing="$(mktemp /dev/shm/sectorsmith-slow.XXXXXX)"
    head -c $((8 << 20)) /dev/zero | tr '\0' '\356' >"$slow_backing"
    build/default/tests/helpers/fault_fs/fault_fs "$slow_backing" "$work/slow-mount" \
        </dev/null >/dev/null 2>&1 &
    fuse_pid=$!
    for _ in $(seq 50); do
        [ -e "$work/slow-mount/control" ] && break
        sleep 0.1
    done
    echo "slow-writes 2000000" >"$work/slow-mount/control"
    ln -s "$work/slow-root" "$WINEPREFIX/dosdevices/$slow_letter:"
    ln -s "$work/slow-mount/disk" "$WINEPREFIX/dosdevices/$slow_letter::"
    export SECTORSMITH_WINE_SLOW_LETTER="${slow_letter^^}"
    export SECTORSMITH_WINE_SLOW_FILE="Z:${work//\//\\}\\slow-mount\\disk"
fi
wineserver -p </dev/null >/dev/null 2>&1
# Wine's own fonts, which this Wine does not find where fonts-wine puts them: without them
# "MS Sans Serif", the face the dialog templates were laid out for, falls to a wider stand-in
# and labels no longer fit their controls.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# Windows stay out of reach of a window manager: there is none on the virtual screen, and every
# window that hides or closes would wait seconds for one to answer.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# The desktop's own process, started here with these streams and kept for the whole run: a test
# program would start it with ctest's pipes, and ctest would wait for it to end after each test.
wine explorer /desktop </dev/null >/dev/null 2>&1 &
desktop_pid=$!
wine cmd /c exit 0 </dev/null >/dev/null 2>&1

echo "== windows tests (under Wine) =="
ctest --preset windows -j2 --timeout 300 </dev/null

bash scripts/check_windows_installer.sh
