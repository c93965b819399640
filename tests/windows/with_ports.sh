#!/usr/bin/env bash
# Runs a Windows program under Wine (wine.sh) with two COM ports joined back to back: socat
# links two pseudo-terminals, and the prefix maps them as the COM names given, which the
# program finds in VARO_TEST_COM_A and VARO_TEST_COM_B.
# usage: with_ports.sh <prefix> <COMa> <COMb> <program.exe> [arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 a=$2 b=$3
shift 3
# The prefix (and its server) first, so that Wine's own port mapping cannot run over ours.
"$here/wine.sh" "$prefix" cmd /c "exit /b 0"
links="$prefix/dosdevices/${a,,} $prefix/dosdevices/${b,,}"
rm -f $links
socat pty,raw,echo=0,link="$prefix/dosdevices/${a,,}" pty,raw,echo=0,link="$prefix/dosdevices/${b,,}" &
pair=$!
trap 'kill $pair 2>/dev/null || true; wait $pair 2>/dev/null || true; rm -f $links' EXIT
for _ in $(seq 100); do
  [ -e "$prefix/dosdevices/${a,,}" ] && [ -e "$prefix/dosdevices/${b,,}" ] && break
  sleep 0.05
done
export VARO_TEST_COM_A=$a VARO_TEST_COM_B=$b
# Wine hands the Unix environment to the program.
status=0
"$here/wine.sh" "$prefix" "$@" || status=$?
exit $status
