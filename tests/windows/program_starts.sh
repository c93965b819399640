#!/usr/bin/env bash
# The Windows program under Wine in a virtual display of its own: it starts, shows its window
# "VARO PROGRAMLAYICI", and ends on the window manager's close. The prefix is prepared under that
# display (wine.sh), so it reaches no real port; the display's picture goes to <picture.png>. Then
# the command line's console twin answers in the console, with the Linux program's exit codes.
# usage: program_starts.sh <program folder> <prefix> <folder of the Linux build's wm-close> <picture.png>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_lib.sh"
app=$1 prefix=$2 host=$3 picture=$4
work=$(mktemp -d)
xvfb= program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  stop_wine "$prefix"
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; tail -n 20 "$work/program.log" >&2 2>/dev/null || true; exit 1; }
await() {
  local tenths=$1; shift
  for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
await 600 grep -q '^[0-9]' "$work/display" || fail "the virtual display did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
await 100 xdotool getdisplaygeometry || fail "the virtual display does not answer"

stop_wine "$prefix"
"$here/wine.sh" "$prefix" "$app/varo-programmer.exe" >"$work/program.log" 2>&1 &
program=$!
await 1200 xdotool search --onlyvisible --name '^VARO PROGRAMLAYICI$' || fail "the window did not appear"
win=$(xdotool search --onlyvisible --name '^VARO PROGRAMLAYICI$' | head -n 1)
sleep 2
import -window root "$picture"
"$host/wm-close" "$win" || fail "the close request could not be sent"
await 300 bash -c "! kill -0 $program 2>/dev/null" || fail "the program did not end after the close"
program=

# The window's program opens no console of its own; the twin is a console program.
subsystem() { x86_64-w64-mingw32-objdump -p "$1" >"$work/pe.txt"; grep -o 'Subsystem.*' "$work/pe.txt"; }
[[ $(subsystem "$app/varo-programmer.exe") == *"(Windows GUI)" ]] || fail "varo-programmer.exe would open a console"
[[ $(subsystem "$app/varo-programmer.com") == *"(Windows CUI)" ]] || fail "varo-programmer.com is no console program"
version=$("$here/wine.sh" "$prefix" "$app/varo-programmer.com" --version | tr -d '\r')
[[ $version == "VARO PROGRAMMER "[0-9]* ]] || fail "--version said: $version"
status=0
"$here/wine.sh" "$prefix" "$app/varo-programmer.com" --no-such-option >"$work/usage.txt" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q "Unknown option 'no-such-option'" "$work/usage.txt" ||
  fail "a mistake on the command line gave status $status: $(cat "$work/usage.txt")"
echo "the Windows program showed its window under Wine and ended on the close; its console twin answered"
