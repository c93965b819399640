#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a prefix of the build's own that reaches no
# real serial port: when its services start, Wine links a COM name in dosdevices to every serial
# device it finds (/dev/ttyS*, ttyUSB*, ttyACM*). Those links are removed once the services have
# started, and one server is kept running so that they do not start again and bring them back.
# What is left of such a name opens no device (GetCommState fails on it).
# A test maps a pseudo-terminal as a COM port with: ln -s /dev/pts/N "$WINEPREFIX/dosdevices/comN".
# usage: wine.sh <prefix> <program.exe> [arguments...]
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=${VARO_WINE:-/usr/lib/wine/wine64}
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=wineserver

prepare() {
  if [ ! -f "$prefix/.varo-ready" ]; then
    mkdir -p "$prefix"
    "$wine" wineboot --init >/dev/null 2>&1
    "$server" -w
    touch "$prefix/.varo-ready"
  fi
  # A server that is already running keeps running; a new one stays until killed (wineserver -k).
  "$server" -p >/dev/null 2>&1 || true
  "$wine" cmd /c "exit /b 0" >/dev/null 2>&1 || true
  for link in "$prefix"/dosdevices/com*; do
    [ -L "$link" ] || continue
    case $(readlink "$link") in
      /dev/pts/*) ;;
      *) rm -f "$link" ;;
    esac
  done
}

{
  flock 9
  # The server outlives this script: it must not hold the lock.
  prepare 9>&-
} 9>"$prefix.lock"
exec "$wine" "$@"
