#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Sectorsmith.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev libgl-dev
    libmount-dev liburing-dev libxxhash-dev libarchive-dev liblzma-dev libzstd-dev zlib1g-dev libbz2-dev
    xz-utils gzip bzip2 zstd zip
    libgtest-dev libgmock-dev
    util-linux e2fsprogs
    libfuse3-dev fuse3
    dbus-daemon dbus-bin polkitd udev udisks2
    xvfb xauth at-spi2-core python3-pyatspi xdotool
    locales fonts-dejavu-core fonts-liberation2
    dpkg-dev file desktop-file-utils appstream lintian
    g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine xdotool x11-utils imagemagick nsis
    libz-mingw-w64-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -ne 0 ]; then
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A non-English locale for the tests that check time formatting ignores the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
