#!/usr/bin/env bash
# The Windows installer under Wine, in a prefix made fresh for it: an older build installs and the
# new one upgrades it; the programs run from where it put them (the window, the end-to-end scripts
# with the simulated indicator on COM5, the command line); an older build refuses to go over it;
# its removal leaves the prefix's files and registry as they were. The portable zip holds the same
# files, and its programs run where it is unpacked.
# usage: installer.sh <Windows build folder> <prefix> <folder of the Linux build's programs>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) prefix=$2 host=$(cd "$3" && pwd)
package=$build/package
msi=$(echo "$package"/varo-programmer-*-windows-x64.msi)
zip=${msi%.msi}.zip
stage="$package/VARO Programmer"
installed="$prefix/drive_c/Program Files/VARO Programmer"
source "$here/wine_lib.sh"
work=$(mktemp -d)
trap 'stop_wine "$prefix"; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
wine() { "$wine_sh" "$prefix" "$@"; }
msiexec() { wine msiexec "$1" "$(windows_path "$2")" /qn; }
files() { (cd "$1" && find . -type f | LC_ALL=C sort); }
# Everything on drive C:, but the Windows Installer's own cache folder (which stays on Windows too).
listing() { (cd "$prefix/drive_c" && find . | grep -vx './windows/Installer' | LC_ALL=C sort); }
property() { msiinfo export "$1" Property | tr -d '\r' | awk -v name="$2" '$1 == name { print $2 }'; }
registered_version() {
  wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v DisplayVersion 2>/dev/null |
    tr -d '\r' | awk '$1 == "DisplayVersion" { print $3 }'
}
# A registry key's default value, read from an export (reg query would write it in the ANSI code page).
default_value() {
  wine reg export "$1" "$(windows_path "$work/key.reg")" /y >/dev/null 2>&1 || return 1
  iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r' | sed -n 's/^@="\(.*\)"$/\1/p' | head -n 1
}

echo "tables of $(basename "$msi"): $(msiinfo tables "$msi" | LC_ALL=C sort | tr '\n' ' ')"
[ "$(msiinfo export "$msi" File | tail -n +4 | wc -l)" -eq "$(files "$stage" | wc -l)" ] ||
  fail "the installer does not hold every file of the program's folder"

rm -rf "$prefix" "$prefix.lock"
wine cmd /c "exit /b 0"
listing >"$work/before.txt"

# An older build, which holds a file the new one no longer has.
cp -r "$stage" "$work/old"
echo "0.9.0" >"$work/old/eski sürüm.txt"
"$here/../../cmake/make-msi.sh" "$work/old" 0.9.0 "$build/icons/varo-programmer.ico" "$work/old.msi"
old_code=$(property "$work/old.msi" ProductCode) code=$(property "$msi" ProductCode) version=$(property "$msi" ProductVersion)
msiexec /i "$work/old.msi" || fail "the older build did not install"
[ "$(registered_version "$old_code")" = 0.9.0 ] && [ -f "$installed/eski sürüm.txt" ] || fail "the older build is not installed"

msiexec /i "$msi" || fail "the installer failed"
[ "$(registered_version "$code")" = "$version" ] || fail "version $version is not registered"
[ -z "$(registered_version "$old_code")" ] || fail "the older build is still registered beside the new one"
diff -u <(files "$stage") <(files "$installed") || fail "the installed files are not the program's folder"
[ "$(default_value 'HKCR\.vrd')" = VARO.Project ] || fail ".vrd is not the program's file type"
[ "$(default_value 'HKCR\VARO.Project')" = "VARO Dosyası" ] || fail "the file type is not named 'VARO Dosyası'"
[ "$(default_value 'HKCR\VARO.Project\shell\open\command')" = '\"C:\\Program Files\\VARO Programmer\\varo-programmer.exe\" \"%1\"' ] ||
  fail "a double click does not open the program: $(default_value 'HKCR\VARO.Project\shell\open\command')"
# Wine puts a per-machine shortcut in the user's Start menu; Windows puts it in ProgramData's.
[ "$(find "$prefix/drive_c" -name 'VARO Programlayıcı.lnk' | wc -l)" -eq 1 ] || fail "no Start-menu shortcut 'VARO Programlayıcı'"

status=0
msiexec /i "$work/old.msi" || status=$?
[ "$status" -ne 0 ] && [ "$(registered_version "$code")" = "$version" ] || fail "the older build went over the newer one"

"$here/program_starts.sh" "$installed" "$prefix" "$host" "$build/start.png"
for script in e2e_write e2e_read e2e_alive e2e_open_file; do
  VARO_E2E_WINDOWS=$installed VARO_E2E_WINE_PREFIX=$prefix "$here/../devlink/$script.sh" "$host" >"$work/$script.log" 2>&1 ||
    { cat "$work/$script.log" >&2; fail "$script against the installed program"; }
  echo "$script: $(grep -v '^ *[.#]' "$work/$script.log" | tail -n 1)"
  grep -E '^(BYTES|pings) ' "$work/$script.log" | sed 's/^/  /' || true
done
"$here/cli.sh" "$installed" "$prefix" "$host"

msiexec /x "$msi" || fail "the uninstall failed"
listing >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the uninstall left the prefix's files otherwise than it found them"
[ -z "$(registered_version "$code")" ] || fail "the program is still registered"
for key in 'HKCR\.vrd' 'HKCR\VARO.Project'; do
  ! wine reg query "$key" >/dev/null 2>&1 || fail "$key outlived the uninstall"
done

mkdir "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
diff -u <(files "$stage") <(files "$work/unzipped/VARO Programmer") || fail "the zip holds other files than the installer"
version_said=$(wine "$work/unzipped/VARO Programmer/varo-programmer.com" --version | tr -d '\r')
[ "$version_said" = "VARO PROGRAMMER $version" ] || fail "the unzipped program said: $version_said"
echo "the installer put the program in place, upgraded an older build, and took everything away again"
