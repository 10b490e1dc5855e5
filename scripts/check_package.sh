#!/usr/bin/env bash
# Builds the Debian package and proves it: lintian finds no error, apt installs it, the installed
# program starts (offscreen) and keeps running, its desktop entry and AppStream metadata
# validate, and apt removes it again without leaving its files behind.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_get() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "$@"; }

deb="$(bash scripts/package.sh | tail -n 1)"
echo "== lintian $(basename "$deb") =="
lintian --fail-on error "$deb"

echo "== install =="
# Its dependencies come from the package lists; fetch them first where they are missing.
if ! apt_get install -y -qq "$deb" >/dev/null; then
    apt_get update -qq
    apt_get install -y -qq "$deb" >/dev/null
fi
program_pid=""
clean_up() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    apt_get purge -y -qq sectorsmith >/dev/null || true
}
trap clean_up EXIT

app_id=org.sectorsmith.sectorsmith
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"
for size in 16 32 48 64 128 256; do
    test -s "/usr/share/icons/hicolor/${size}x${size}/apps/sectorsmith.png"
done
dpkg -L sectorsmith | grep "/man1/sectorsmith.1.gz$" >/dev/null

echo "== start the installed program =="
QT_QPA_PLATFORM=offscreen /usr/bin/sectorsmith &
program_pid=$!
sleep 5
if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid" && status=0 || status=$?
    program_pid=""
    echo "the installed program ended within 5 s (status $status)" >&2
    exit 1
fi
echo "still running after 5 s"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""

echo "== remove =="
apt_get purge -y -qq sectorsmith >/dev/null
trap - EXIT
if [ -e /usr/bin/sectorsmith ] || [ -e "/usr/share/applications/$app_id.desktop" ]; then
    echo "files of the package are left after its removal" >&2
    exit 1
fi
echo "package checked"
