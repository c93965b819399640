#!/usr/bin/env bash
# Puts the Windows program where it can run: varo-programmer.exe (the window), varo-programmer.com
# (its console twin for the command line) with the Qt DLLs and plugins they
# loads, the MinGW runtime those DLLs load, and the catalogs in locale\ beside it.
# usage: deploy.sh <Windows build folder> <Qt for MinGW prefix> <destination>
set -euo pipefail
build=$1 qt=$2 dest=$3
rm -rf "$dest"
mkdir -p "$dest/platforms" "$dest/styles"
cp "$build/bin/varo-programmer.exe" "$build/bin/varo-programmer.com" "$dest/"
for lib in Core Gui Widgets PrintSupport; do cp "$qt/bin/Qt6$lib.dll" "$dest/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$dest/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dest/styles/"
gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$gcc/libstdc++-6.dll" "$gcc/libgcc_s_seh-1.dll" /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$dest/"
cp -r "$build/share/varo-programmer/locale" "$dest/locale"
