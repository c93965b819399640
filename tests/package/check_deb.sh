#!/usr/bin/env bash
# Checks the Debian package as a technician's machine would take it: exactly the two
# programs, the desktop entry, the icons, the MIME type, the AppStream metadata, the
# catalogs, the manual pages, the licence and the changelog; Debian's own checks (lintian,
# no error or warning; appstreamcli); the dependencies; unpacked into a scratch root
# (dpkg -x) the entry validates and points at what is there, .vrd files go to the program,
# and the programs start.
# usage: check_deb.sh <package.deb>
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

icons=usr/share/icons/hicolor
expected=(usr/bin/varo-indicator-sim usr/bin/varo-programmer
  usr/share/applications/varo-programmer.desktop "$icons/scalable/apps/varo-programmer.svg"
  usr/share/mime/packages/varo-programmer.xml usr/share/metainfo/varo-programmer.metainfo.xml
  usr/share/doc/varo-programmer/copyright usr/share/doc/varo-programmer/changelog.gz)
for size in 16 22 24 32 48 64 128 256; do expected+=("$icons/${size}x$size/apps/varo-programmer.png"); done
for domain in default cport; do expected+=("usr/share/varo-programmer/locale/tr/LC_MESSAGES/$domain.mo"); done
for page in varo-programmer varo-indicator-sim; do
  expected+=("usr/share/man/man1/$page.1.gz" "usr/share/man/tr/man1/$page.1.gz")
done
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort >"$work/files"
diff -u <(printf '%s\n' "${expected[@]}" | sort) "$work/files" || fail "the package holds other files"

depends=$(dpkg-deb -f "$deb" Depends)
for pkg in libqt6widgets6 libqt6gui6 libqt6printsupport6 fonts-liberation fonts-dejavu-core; do
  [[ ", $depends," == *", $pkg"[\ ,]* ]] || fail "no dependency on $pkg: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* ]] || fail "qt6-translations-l10n is not recommended"

# lintian says "running with root privileges is not recommended" as root; its findings are what count.
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' >&2 ||
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian finds errors or warnings"

root=$work/root
dpkg -x "$deb" "$root"
appstreamcli validate --no-net "$root/usr/share/metainfo/varo-programmer.metainfo.xml" ||
  fail "appstreamcli rejects the metadata"
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/tr/man1/*.1.gz; do
  problems=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$problems" ] || fail "$page: $problems"
done

# A double click: with the package's MIME type and entry in a scratch XDG_DATA_HOME, a .vrd file
# is a VARO project and opens in the program.
data=$work/data
mkdir -p "$data/mime/packages" "$data/applications"
cp "$root/usr/share/mime/packages/varo-programmer.xml" "$data/mime/packages/"
cp "$root/usr/share/applications/varo-programmer.desktop" "$data/applications/"
export XDG_DATA_HOME=$data XDG_DATA_DIRS=$data:/usr/share
update-mime-database "$data/mime"
update-desktop-database "$data/applications"
head -c 256 /dev/zero >"$work/x.vrd"
[ "$(xdg-mime query filetype "$work/x.vrd")" = application/x-varo-project ] ||
  fail "x.vrd is $(xdg-mime query filetype "$work/x.vrd")"
[ "$(xdg-mime query default application/x-varo-project)" = varo-programmer.desktop ] ||
  fail "VARO projects open in '$(xdg-mime query default application/x-varo-project)'"
entry=$root/usr/share/applications/varo-programmer.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$root/usr/bin/$exec_name" ] || fail "the entry starts $exec_name, which is not in usr/bin"
[ -f "$root/$icons/48x48/apps/$icon.png" ] || fail "no icon named $icon"

version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/varo-programmer" --version)" = "VARO PROGRAMMER $version" ] || fail "--version does not say $version"
"$root/usr/bin/varo-indicator-sim" --help | grep -q -- --fault || fail "the simulator gives no help"

# Started for real on the offscreen platform (no port of this machine looked at), the
# program keeps running quietly until it is stopped.
mkdir -m 700 "$work/run"
status=0
XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen VARO_DEVICE_ROOT=$work/no-devices \
  timeout 2 "$root/usr/bin/varo-programmer" >"$work/out" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/out" >&2; fail "the unpacked program ended at start with status $status"; }
[ ! -s "$work/out" ] || { cat "$work/out" >&2; fail "the unpacked program printed at start"; }
echo "package ok: $(basename "$deb")"
