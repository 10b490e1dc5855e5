#!/usr/bin/env bash
# Cross-builds the decompression libraries Debian packages for Linux only (liblzma from xz-utils,
# libzstd, libbz2) as static MinGW-w64 libraries for the Windows program, from Debian's own source
# packages: build/windows-deps/{include,lib} (or $SECTORSMITH_WINDOWS_DEPS). Does nothing when
# they are there already. The sources come through apt with a sources list of its own, a deb-src
# twin of the system's, so the system's apt settings stay as they are. zlib comes from Debian's
# libz-mingw-w64-dev.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix="${SECTORSMITH_WINDOWS_DEPS:-$PWD/build/windows-deps}"
# Bumped when what is built here changes, so an older cache is built again.
recipe=1
stamp="$prefix/built-$recipe"
[ -e "$stamp" ] && exit 0

host=x86_64-w64-mingw32
work="$(mktemp -d /tmp/sectorsmith-windows-deps.XXXXXX)"
trap 'rm -rf "$work"' EXIT
# apt fetches as its own user, who must reach the lists and the cache.
chmod 755 "$work"
started=$SECONDS

echo "== sources for the Windows libraries =="
mkdir -p "$work/apt/parts" "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"
for list in /etc/apt/sources.list.d/*.sources; do
    [ -e "$list" ] || continue
    sed 's/^Types:.*$/Types: deb-src/' "$list" >"$work/apt/parts/$(basename "$list")"
done
if [ -s /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$work/apt/parts/system.list"
fi
cat >"$work/apt/apt.conf" <<EOF
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$work/apt/parts";
Dir::State::Lists "$work/apt/lists";
Dir::Cache "$work/apt/cache";
EOF
export APT_CONFIG="$work/apt/apt.conf"
apt-get update -qq
# The newest version of a source package whose files can be fetched (a mirror may lack the
# newest of them).
fetch_source() {
    local version
    for version in $(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -rV); do
        (cd "$work/src" && apt-get source -qq "$1=$version" >/dev/null 2>&1) && return 0
    done
    echo "cannot fetch the sources of $1" >&2
    return 1
}
for package in xz-utils libzstd bzip2; do
    fetch_source "$package"
done
unset APT_CONFIG
source_dir() { find "$work/src" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | head -n 1; }

mkdir -p "$prefix/include" "$prefix/lib"
jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

echo "== liblzma =="
(cd "$(source_dir xz-utils)" &&
    ./configure -q --host=$host --prefix="$prefix" --disable-shared --enable-static \
        --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo --disable-lzma-links \
        --disable-scripts --disable-doc --disable-nls --disable-threads \
        --disable-encoders >/dev/null &&
    make -s -j"$jobs" -C src/liblzma install >/dev/null)

echo "== libzstd =="
# Decompression only: the program never compresses.
make -s -j"$jobs" -C "$(source_dir libzstd)/lib" libzstd.a CC=$host-gcc-posix AR=$host-ar \
    ZSTD_LIB_COMPRESSION=0 ZSTD_LIB_DICTBUILDER=0 ZSTD_LIB_DEPRECATED=0 ZSTD_LEGACY_SUPPORT=0 \
    >/dev/null
cp "$(source_dir libzstd)/lib/libzstd.a" "$prefix/lib/"
cp "$(source_dir libzstd)"/lib/{zstd.h,zstd_errors.h,zdict.h} "$prefix/include/"

echo "== libbz2 =="
bzip2_dir="$(source_dir bzip2)"
objects=()
for unit in blocksort huffman crctable randtable compress decompress bzlib; do
    $host-gcc-posix -O2 -D_FILE_OFFSET_BITS=64 -c "$bzip2_dir/$unit.c" -o "$work/$unit.o"
    objects+=("$work/$unit.o")
done
$host-ar rcs "$prefix/lib/libbz2.a" "${objects[@]}"
cp "$bzip2_dir/bzlib.h" "$prefix/include/"

touch "$stamp"
echo "Windows libraries built in $((SECONDS - started)) s: $prefix"
