#!/bin/sh
# Writes the decoder suite's samples into the folder $1 with the system's own tools: image.bin
# (text that compresses well around random bytes that do not, several bzip2 blocks long), and for
# each of xz, gz, bz2 and zst: image.bin.<ext>; two.<ext>, the image in two streams one after
# the other; damaged.<ext>, one byte in its middle inverted; cut.<ext>, its last quarter cut off;
# unchecked.xz and unchecked.zst, written without a checksum; image.zip, the image alone in a zip
# archive; plain.gz, the image as it is under a compressed file's name; and the zip reader's
# samples: zip-stored.zip (zip -0), zip-folder.zip (a folder entry and the image in it),
# zip-stdin.zip (zip - -, written to a file: Zip64 end records and local fields), zip-piped.zip
# (zip - - into a pipe: a data descriptor after the data), zip-two.zip (two files),
# zip-locked.zip (zip -P), zip-link.zip (zip -y, a link to the image) and zip-empty.zip (nothing
# but the end record).
set -eu
mkdir -p "$1"
cd "$1"
{ seq 1 200000; head -c 1048576 /dev/urandom; seq 200000 300000; } >image.bin
compress() {
    case "$1" in
        xz) xz -c ;;
        gz) gzip -nc ;;
        bz2) bzip2 -c ;;
        zst) zstd -qc ;;
    esac
}
for ext in xz gz bz2 zst; do
    compress $ext <image.bin >image.bin.$ext
    { head -c 1000000 image.bin | compress $ext; tail -c +1000001 image.bin | compress $ext; } \
        >two.$ext
    size=$(wc -c <image.bin.$ext)
    cp image.bin.$ext damaged.$ext
    middle=$((size / 2))
    byte=$(od -An -tu1 -j $middle -N1 image.bin.$ext | tr -d ' ')
    printf "\\$(printf %o $((255 - byte)))" |
        dd of=damaged.$ext bs=1 seek=$middle conv=notrunc status=none
    head -c $((size * 3 / 4)) image.bin.$ext >cut.$ext
done
xz --check=none -c image.bin >unchecked.xz
zstd --no-check -qc image.bin >unchecked.zst
cp image.bin plain.gz
rm -rf image.zip zip-*.zip folder link.bin
zip -q image.zip image.bin
zip -q -0 zip-stored.zip image.bin
mkdir folder
cp image.bin folder/
zip -q -r zip-folder.zip folder
zip -q - - <image.bin >zip-stdin.zip
zip -q - - <image.bin | cat >zip-piped.zip
zip -q zip-two.zip image.bin plain.gz
zip -q -P secret zip-locked.zip image.bin
ln -s image.bin link.bin
zip -q -y zip-link.zip link.bin
{ printf 'PK\005\006'; head -c 18 /dev/zero; } >zip-empty.zip
