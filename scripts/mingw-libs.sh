#!/usr/bin/env bash
# Builds the libraries that tavrel.exe links statically and that Debian
# ships no MinGW-w64 build of: liblzma (from xz-utils) and libarchive, from
# Debian's own source packages (apt-get source, through the deb-src entry
# that scripts/install-deps.sh adds), with Debian's MinGW-w64 and the zlib
# of libz-mingw-w64-dev.
#
#   scripts/mingw-libs.sh        prints the folder that holds them
#
# They are built once, into a cache outside the build folders, and reused
# while the source packages' versions stay the same:
#   ${TAVREL_MINGW_CACHE:-${XDG_CACHE_HOME:-~/.cache}/tavrel/mingw-w64}
# It holds include/ and lib/, and src/ with the unpacked sources; the tests
# read the RAR samples in src/libarchive-*/libarchive/test/ from there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${TAVREL_MINGW_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrel/mingw-w64}
packages=(libarchive xz-utils)

# The source packages' versions name what the cache holds.
wanted=""
for p in "${packages[@]}"; do
    version=$(apt-cache showsrc "$p" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
    [ -n "$version" ] || { echo "mingw-libs.sh: no source package $p (is the deb-src entry there?)" >&2; exit 1; }
    wanted+="$p $version"$'\n'
done
if [ -f "$cache/lib/libarchive.a" ] && [ "$(cat "$cache/versions" 2>/dev/null)" = "$(printf '%s' "$wanted")" ]; then
    echo "$cache"
    exit 0
fi

echo "mingw-libs.sh: building liblzma and libarchive for Windows into $cache" >&2
rm -rf "$cache"
mkdir -p "$cache/src" "$cache/include" "$cache/lib"
cd "$cache/src"
apt-get source "${packages[@]}" >&2
xz=$(ls -d xz-utils-*/)
archive=$(ls -d libarchive-*/)
toolchain="$here/cmake/mingw-w64.cmake"
jobs=$(nproc)

# liblzma: the decoders only are needed, but the library is small either way.
cmake -S "$xz" -B build-xz -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >&2
cmake --build build-xz --target liblzma -j"$jobs" >&2
cp build-xz/liblzma.a "$cache/lib/"
cp -r "$xz/src/liblzma/api/lzma.h" "$xz/src/liblzma/api/lzma" "$cache/include/"

# libarchive: the reading side with zlib and liblzma, nothing that would
# need another DLL. Both are linked statically, so nothing is imported.
cmake -S "$archive" -B build-archive -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="-DLZMA_API_STATIC" -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DENABLE_TEST=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF -DENABLE_INSTALL=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_CNG=OFF -DENABLE_LIBB2=OFF \
    -DENABLE_LZ4=OFF -DENABLE_LZO=OFF -DENABLE_ZSTD=OFF -DENABLE_BZip2=OFF -DENABLE_LIBXML2=OFF \
    -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF -DENABLE_LIBGCC=OFF -DENABLE_ICONV=OFF -DENABLE_ACL=OFF \
    -DENABLE_XATTR=OFF -DENABLE_WERROR=OFF -DPOSIX_REGEX_LIB=NONE \
    -DENABLE_ZLIB=ON -DENABLE_LZMA=ON \
    -DLIBLZMA_INCLUDE_DIR="$cache/include" -DLIBLZMA_LIBRARY="$cache/lib/liblzma.a" \
    -DLIBLZMA_HAS_AUTO_DECODER=ON -DLIBLZMA_HAS_EASY_ENCODER=ON -DLIBLZMA_HAS_LZMA_PRESET=ON >&2
cmake --build build-archive --target archive_static -j"$jobs" >&2
cp "$(find build-archive -name 'libarchive*.a' | head -n 1)" "$cache/lib/libarchive.a"
cp "$archive/libarchive/archive.h" "$archive/libarchive/archive_entry.h" "$cache/include/"
rm -rf build-xz build-archive

printf '%s' "$wanted" >"$cache/versions"
echo "$cache"
