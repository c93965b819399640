#!/usr/bin/env bash
# The command line of the installed Windows programs, from cmd.exe under Wine, against the simulated
# indicator on COM5: the exit codes, what goes to stdout and stderr, Turkish texts as UTF-8, and one
# real write whose corruption verify then names. cmd.exe runs varo-programmer.com for
# "varo-programmer", as it does on Windows.
# usage: cli.sh <folder of the installed programs> <prefix> <folder of varo-indicator-sim>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=$1 prefix=$2 host=$(cd "$3" && pwd)
source "$here/wine_lib.sh"
work=$(mktemp -d)
trap 'stop_indicator_on_com5 "$prefix"; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# Runs "varo-programmer <arguments>" in cmd.exe in the program's folder (Wine starts a program in
# the folder the shell is in); sets status, out and err.
run() {
  status=0
  (cd "$app" && "$wine_sh" "$prefix" cmd /c varo-programmer "$@") >"$work/out" 2>"$work/err" || status=$?
  out=$(tr -d '\r' <"$work/out") err=$(tr -d '\r' <"$work/err")
}
expect() { [[ $status -eq $1 ]] || fail "$2: status $status (wanted $1), out: $out, err: $err"; }
# A new simulated indicator (its options as arguments) on COM5.
indicator() {
  stop_indicator_on_com5 "$prefix"
  indicator_on_com5 "$prefix" "$work/sim.log" "$host/varo-indicator-sim" "$@" || fail "the indicator did not start"
}
export LANG=C.UTF-8

printf '\x00\x00\xff\x00' >"$work/p.vrd"
for _ in $(seq 15); do printf '\x11\x22\x33\x44' >>"$work/p.vrd"; done
for _ in $(seq 180); do printf '\xff' >>"$work/p.vrd"; done
printf '\x08\x10\x01\x0e\x01\xff\xff\xff\xff\xff\xff\xff' >>"$work/p.vrd"
p=$(windows_path "$work/p.vrd")

run --bogus
expect 2 "an unknown option"
[[ -z $out && $err == *"Unknown option 'bogus'."* ]] || fail "an unknown option: $err"
run --help
expect 0 "--help"
for code in 0 2 3 4 5 6 7 130; do [[ $out == *"  $code "* ]] || fail "--help does not explain exit code $code"; done
run --port COM9 --show-floors
expect 3 "a missing port"
[[ $err == *"Unable to open com port (win error code: 2)"* ]] || fail "a missing port: $err"
run --port COM5 --write "$(windows_path "$work/missing.vrd")"
expect 5 "a missing project"
[[ $err == *"Ayar dosyası açılamadı: $(windows_path "$work/missing.vrd") (File not found)"* ]] || fail "a missing project: $err"

indicator --project "$work/p.vrd"
run --port COM5 --show-floors
expect 0 "show floors"
[[ $out == "The indicator is showing its floor numbers." ]] || fail "show floors said: $out"
run --quiet --port COM5 --read "$(windows_path "$work/back.vrd")"
expect 0 "read"
cmp "$work/p.vrd" "$work/back.vrd" || fail "the read saved other bytes than the window would"
# Turkish names in the arguments: cmd.exe hands them over as Unicode, not in the ANSI code page.
mkdir "$work/Müşteri"
turkish=$(windows_path "$work/Müşteri/Bodrum Katı.vrd")
run --quiet --port COM5 --read "$turkish"
expect 0 "a read into Turkish names"
cmp "$work/p.vrd" "$work/Müşteri/Bodrum Katı.vrd" || fail "the read into Turkish names saved other bytes"
run --port COM5 --verify "$turkish"
expect 0 "verify from Turkish names"

indicator --fault silent
run --port COM5 --show-floors --retries 1
expect 4 "a silent indicator"
[[ $err == *"No answer from the indicator (COM5, 2 handshakes)."* ]] || fail "a silent indicator: $err"

# A real write (about 16 s) to an indicator that stores byte 245 wrong; verify names it.
indicator --corrupt 245
run --port COM5 --write "$p"
expect 0 "write"
[[ $out == "Yazma İşlemi Tamamlandı..." && $(grep -c '^write: [0-9]* %$' <<<"$err") -eq 10 ]] ||
  fail "write: $out / $err"
run --port COM5 --verify "$p"
expect 6 "verify, a byte stored wrong"
[[ $out == *"bayt 245: Frame sayısı: gönderilen 0x10, okunan 0xEF"* ]] || fail "verify: $out"

# Ctrl+C mid-write (Wine hands SIGINT to the console program as a Ctrl+C): the byte on its way
# finishes, the port is let go, and the status is 130.
indicator
(cd "$app" && exec "$wine_sh" "$prefix" varo-programmer.com --port COM5 --write "$p") >"$work/out" 2>"$work/err" &
writer=$!
for _ in $(seq 100); do grep -q 'w: taking' "$work/sim.log" && break; sleep 0.1; done
sleep 1
kill -INT "$writer"
status=0
wait "$writer" || status=$?
out=$(tr -d '\r' <"$work/out") err=$(tr -d '\r' <"$work/err")
expect 130 "Ctrl+C"
[[ $err =~ interrupted\ after\ ([0-9]+)\ of\ 256\ bytes\ written\;\ the\ port\ is\ closed ]] || fail "Ctrl+C: $err"
grep -q 'image stored' "$work/sim.log" && fail "the image was finished after Ctrl+C"

# Turkish from the catalogs beside the program, written as UTF-8 like every other text.
export LANG=tr_TR.UTF-8
run --port COM9 --show-floors --retries many
expect 2 "Turkish, a mistake"
[[ $err == *"--retries 0 ile 1000 arasında bir sayı ister, 'many' değil."*"Ayrıntılar için 'varo-programmer --help' yazın."* ]] ||
  fail "Turkish, a mistake: $err"
run --port COM9 --show-floors
expect 3 "Turkish, a missing port"
[[ $err == *"Port açılamadı (sistem hata kodu: 2)"* ]] || fail "Turkish, a missing port: $err"
echo "the Windows command line answered with the Linux program's exit codes and texts"
