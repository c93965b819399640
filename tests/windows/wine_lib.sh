# Sourced by the scripts that run Windows programs under Wine (wine.sh) beside the Linux ones.
wine_sh=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine.sh

# A file's name as a Windows program sees it: Wine's drive Z: is /.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# Ends a prefix's programs and its server (one started under another display would draw there).
stop_wine() { WINEPREFIX=$1 /usr/lib/wine/wineserver -k 2>/dev/null || true; }

# Starts the simulated indicator (its program, then its options) on COM5 of <prefix>, once Wine's
# services have started: a fresh start of them would take the mapping back. Its output goes to
# <log>, its process id to indicator_pid; fails when it makes no pseudo-terminal.
# usage: indicator_on_com5 <prefix> <log> <varo-indicator-sim> [options...]
indicator_on_com5() {
  local prefix=$1 log=$2 sim=$3
  shift 3
  "$wine_sh" "$prefix" cmd /c "exit /b 0" >/dev/null 2>&1
  rm -f "$prefix/dosdevices/com5"
  "$sim" --link "$prefix/dosdevices/com5" "$@" >"$log" 2>&1 &
  indicator_pid=$!
  for _ in $(seq 300); do [ -e "$prefix/dosdevices/com5" ] && return 0; sleep 0.1; done
  return 1
}

# Ends the indicator indicator_on_com5 started, if any, and takes COM5 away.
# usage: stop_indicator_on_com5 <prefix>
stop_indicator_on_com5() {
  if [ -n "${indicator_pid:-}" ]; then
    { kill "$indicator_pid" && wait "$indicator_pid"; } 2>/dev/null || true
    indicator_pid=
  fi
  rm -f "$1/dosdevices/com5"
}
