#!/usr/bin/env bash
# The program's command line, run for real: help and version need no display, a mistake is
# named on stderr with status 2, and a normal start prints nothing.
# usage: command_line.sh <varo-programmer> <version>
set -euo pipefail
prog=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
mkdir -m 700 "$work/run"
export LC_ALL=C XDG_RUNTIME_DIR=$work/run VARO_DEVICE_ROOT=$work/no-devices

# Runs the program with the given environment changes first; sets status, out and err.
run() {
  status=0
  env "$@" >"$work/out" 2>"$work/err" || status=$?
  out=$(<"$work/out")
  err=$(<"$work/err")
}
nodisplay=(-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

run "${nodisplay[@]}" "$prog" --help
[[ $status -eq 0 && -z $err && $out == *"--port <PATH>"* && $out == *"--version"* ]] ||
  fail "--help: status $status, out: $out, err: $err"
run "${nodisplay[@]}" "$prog" --version
[[ $status -eq 0 && -z $err && $out == "VARO PROGRAMMER $version" ]] || fail "--version: $out $err"

while IFS='|' read -r args message; do
  run QT_QPA_PLATFORM=offscreen "$prog" $args
  [[ $status -eq 2 && -z $out && $err == *"$message"* && $err == *"--help"* ]] ||
    fail "'$args': status $status, err: $err"
done <<'CASES'
--bogus|Unknown option 'bogus'.
--port|Missing value after '--port'.
one.vrd two.vrd|Give at most one project file to open, not also 'two.vrd'.
--port /dev/null --read a.vrd extra.vrd|A project file goes after its command, as in --write 'extra.vrd'.
CASES

run QT_QPA_PLATFORM=offscreen timeout 2 "$prog" --port "$work/no-port"
[[ $status -eq 124 && -z $out && -z $err ]] || fail "normal start: status $status, out: $out, err: $err"
echo "command line ok"
