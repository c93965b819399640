# Sourced by the end-to-end scripts, with the folder of varo-programmer and
# varo-indicator-sim as the script's first argument: starts a virtual display
# of its own, and gives the script a work folder and helpers to drive the window.
# With VARO_E2E_WINDOWS (the folder of the Windows programs) and VARO_E2E_WINE_PREFIX, the
# window is the Windows program under Wine and the indicator is on COM5 of that prefix.
set -euo pipefail
bin=$(cd "$1" && pwd)
windows=${VARO_E2E_WINDOWS:-}

work=$(mktemp -d)
pids=()
if [ -n "$windows" ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/../windows/wine_lib.sh"
  prefix=$VARO_E2E_WINE_PREFIX
  port=$prefix/dosdevices/com5 port_name=COM5
  run_program() { "$wine_sh" "$prefix" "$windows/varo-programmer.exe" "$@"; }
  program_path() { windows_path "$1"; }
else
  port=$work/port port_name=$work/port
  run_program() { VARO_DEVICE_ROOT="$work/no-devices" "$bin/varo-programmer" "$@"; }
  program_path() { printf '%s' "$1"; }
fi
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ -n "$windows" ]; then
    rm -f "$port"
    stop_wine "$prefix"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# What each part said last, so a failure on a busy machine can be told apart from a fault.
fail() {
  echo "FAILED: $*" >&2
  for log in xvfb program sim; do
    echo "--- last lines of the $log log" >&2
    tail -n 30 "$work/$log.log" >&2 2>/dev/null || true
  done
  exit 1
}

# Polls a command for up to $1 tenths of a second.
await() {
  local tenths=$1; shift
  for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
window_named() { xdotool search --onlyvisible --name "$1" | head -n 1; }

# The server picks a free display number itself and writes it once it is ready for clients. It
# must then answer there too: a display that did not (seen once while other tests started theirs)
# is given up and another one started.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >>"$work/xvfb.log" 2>&1 &
  xvfb=$!
  pids+=($xvfb)
  await 600 grep -q '^[0-9]' "$work/display" || return 1
  export DISPLAY=":$(head -n 1 "$work/display")"
  await 100 xdotool getdisplaygeometry
}
start_display || { kill "$xvfb" 2>/dev/null; start_display; } || fail "the virtual display did not start"

# Starts the simulated indicator (its options as arguments) on $port, and the window, which on
# Linux has no device tree, so it lists no real port, only that one.
start() {
  if [ -n "$windows" ]; then
    # Wine's server for this display.
    stop_wine "$prefix"
    indicator_on_com5 "$prefix" "$work/sim.log" "$bin/varo-indicator-sim" "$@" || fail "the indicator did not start"
    pids+=($indicator_pid)
  else
    "$bin/varo-indicator-sim" --link "$port" "$@" >"$work/sim.log" 2>&1 &
    pids+=($!)
    await 300 test -L "$port" || fail "the indicator did not start"
  fi
  run_program --port "$port_name" >"$work/program.log" 2>&1 &
  pids+=($!)
  # A loaded 2-core machine may take long to start a Qt program.
  await 900 window_named '^VARO PROGRAMLAYICI$' || fail "the window did not appear"
  win=$(window_named '^VARO PROGRAMLAYICI$')
  sleep 0.5
}

# Window positions are those of the client area.
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.2; }
# A segment of the display picture, by its position in the picture.
segment() { click $((12 + $1)) $((42 + $2)); }

# Saves the project as the user would, into $1.
save() {
  click 77 15
  await 100 window_named '^Ayar Kaydet$' || fail "no save dialog"
  local dialog
  dialog=$(window_named '^Ayar Kaydet$')
  # Wine's own file dialog shows itself before its name box takes keys (it lists the folder first).
  [ -z "$windows" ] || sleep 1.5
  xdotool windowfocus --sync "$dialog" type --delay 20 "$(program_path "$1")"
  xdotool key Return
  await 100 test -s "$1" || fail "the project was not saved into $1"
}

# Starts a write with F9 (about 16 seconds).
press_f9() { xdotool mousemove --window "$win" 300 200 key F9; }

# Waits for the write's completion message and closes it.
close_completion() {
  await 600 window_named '^VARO PROGRAMMER$' || fail "no completion message"
  local box
  box=$(window_named '^VARO PROGRAMMER$')
  grep -q "image stored" "$work/sim.log" || fail "the indicator stored no image"
  xdotool windowfocus --sync "$box" key Return
  await 100 bash -c "! xdotool search --onlyvisible --name '^VARO PROGRAMMER\$'" || fail "the message did not close"
}

# Writes the project with F9 and closes the completion message.
write_f9() {
  press_f9
  close_completion
}
