#!/usr/bin/env bash
# Makes the Windows installer of a folder laid out by `cmake --install` (the build's target
# windows_package calls it; the upgrade test makes an older build of it the same way).
# wixl writes a database of no code page, which cannot hold the letters of Turkish beyond Latin-1
# (it crashes on them): the .wxs names the shortcut and the file type without them, and here the
# database is given code page 1254 and the Turkish names are put in by their ids.
# The same goes for a rebuild of the installed version, which must replace it rather than stand
# beside it: wixl ignores AllowSameVersionUpgrades, so the upgrade's upper bound is made
# inclusive here (msidbUpgradeAttributesVersionMaxInclusive, 0x200, besides MigrateFeatures).
# usage: make-msi.sh <installed folder> <version> <icon.ico> <output.msi>
set -euo pipefail
stage=$(cd "$1" && pwd) version=$2 icon=$(realpath "$3") msi=$(realpath "$4")
wxs=$(cd "$(dirname "$0")/../resources/windows" && pwd)/varo-programmer.wxs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every file but the two programs, which the .wxs names itself for its shortcut and file type.
find "$stage" -type f | LC_ALL=C sort |
  wixl-heat --prefix "$stage/" --exclude varo-programmer. --directory-ref INSTALLDIR \
    --component-group ProgramFiles --var var.SourceDir --win64 >"$work/files.wxs"
# wixl takes the files' paths relative to the folder it runs in.
ln -s "$stage" "$work/stage"
ln -s "$icon" "$work/icon.ico"
(cd "$work" && wixl --arch x64 --define Version="$version" --define SourceDir=stage --define Win64=yes \
  --define IconFile=icon.ico --output "$msi" "$wxs" files.wxs)
printf '\r\n\r\n1254\t_ForceCodepage\r\n' >"$work/codepage.idt"
msibuild "$msi" -i "$work/codepage.idt"
msibuild "$msi" -q "UPDATE Shortcut SET Name = 'VARO Programlayıcı' WHERE Shortcut = 'StartMenu'"
msibuild "$msi" -q "UPDATE Registry SET Value = 'VARO Dosyası' WHERE Registry = 'FileTypeName'"
code=$(msiinfo export "$msi" Property | tr -d '\r' | awk '$1 == "UpgradeCode" { print $2 }')
msibuild "$msi" -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'"
msibuild "$msi" -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('$code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
