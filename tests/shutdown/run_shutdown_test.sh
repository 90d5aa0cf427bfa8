#!/usr/bin/env bash
# A batch with "Shutdown afterwards" checked, judged from outside Wine.
#
#   run_shutdown_test.sh <kavrin.exe> <e2e_tests.exe> <besweet_standin.exe>
#
# The shutdown ends every process of the Wine session, the driver included,
# so the batch runs in a Wine prefix made for this run alone. The driver
# (ShutdownE2e) starts kavrin.exe with the settings file made here, adds the
# input, changes a field, presses "Go" and records what it sees until it is
# killed. Then this script checks: the session ended in time, no message box
# was shown, the transcoder stand-in ran, and Kavrin.ini is unchanged.
# Needs the X display the tests run on (DISPLAY). Set KAVRIN_SHUTDOWN_KEEP=1
# to keep the run's folder for a look afterwards.
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <kavrin.exe> <e2e_tests.exe> <besweet_standin.exe>" >&2
  exit 2
fi
kavrin=$1
driver=$2
besweet=$3
if [ -z "${DISPLAY:-}" ]; then
  echo "FAIL: DISPLAY is not set; the test needs the display the other GUI tests use" >&2
  exit 1
fi

# Bounds, in seconds. A new prefix and a start-up take long on a loaded machine.
prefix_bound=300
driver_bound=300
session_bound=60

work=$(mktemp -d "${TMPDIR:-/tmp}/kavrin-shutdown.XXXXXX")
run=$work/run
mkdir -p "$run/out" "$run/temp"

# Only this run's prefix: the caller's WINEPREFIX is never used.
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset WINESERVER

cleanup() {
  wineserver -k >/dev/null 2>&1
  timeout "$session_bound" wineserver -w >/dev/null 2>&1
  if [ "${KAVRIN_SHUTDOWN_KEEP:-}" = 1 ]; then
    echo "kept $work"
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Z: is the Unix root in every prefix.
windows_path() {
  local path=$1
  printf 'Z:%s' "${path//\//\\}"
}

# C:\users\... as the driver wrote it, back to this prefix's Unix path.
unix_path() {
  local path=$1 drive rest
  drive=$(printf '%s' "${path:0:1}" | tr 'A-Z' 'a-z')
  rest=${path:3}
  printf '%s/dosdevices/%s:/%s' "$WINEPREFIX" "$drive" "${rest//\\//}"
}

crlf() { sed 's/$/\r/'; }

# An AC3-CD batch of one job into out/, the shutdown checked, no log.
crlf >"$run/Kavrin.ini" <<EOF
[EXE]
BeSweet=$(windows_path "$besweet")
[FOLDERS]
BeSweet=$(windows_path "$run/temp")
SurCode=$(windows_path "$run/out")
[LOG]
Use Log=0
[SETTINGS]
Normalize=1
DTS CD=0
AC3 CD=1
CDDA CD=0
Shutdown=1
[Boost]
Options=
EOF
printf 'not really AC3' >"$run/input.ac3"

echo "Creating the Wine prefix $WINEPREFIX"
started=$SECONDS
timeout "$prefix_bound" wineboot --init >/dev/null 2>&1
timeout "$prefix_bound" wineserver -w >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "FAIL: the prefix was not created within ${prefix_bound} s"
  exit 1
fi
echo "prefix ready after $((SECONDS - started)) s"

echo "Running the driver; the shutdown should end it"
started=$SECONDS
KAVRIN_SHUTDOWN_DIR=$run timeout "$driver_bound" wine "$driver" --kavrin="$kavrin" \
  --gtest_filter=ShutdownE2e.BatchWithShutdownAfterwardsEndsTheSession >"$work/driver-output.txt" 2>&1
driver_status=$?
echo "driver ended after $((SECONDS - started)) s with status $driver_status"

# The session has ended once the prefix's wineserver has gone: it stays while
# any of its processes runs.
if timeout "$session_bound" wineserver -w >/dev/null 2>&1; then
  echo "the Wine session had ended $((SECONDS - started)) s after the driver started"
else
  fail "the Wine session was still running ${session_bound} s after the driver ended"
fi

record=$run/driver.txt
echo "--- driver record"
cat "$record" 2>/dev/null | tr -d '\r'
echo "---"

if [ "$driver_status" -eq 124 ]; then
  fail "the driver was still running after ${driver_bound} s"
fi
if grep -q '^driver still alive' "$record" 2>/dev/null; then
  fail "the shutdown did not end the driver"
fi
if ! grep -q '^Go pressed' "$record" 2>/dev/null; then
  fail "the driver never pressed \"Go\""
  echo "--- driver output"
  cat "$work/driver-output.txt"
  echo "---"
fi
if grep -q '^message box' "$record" 2>/dev/null; then
  fail "a message box was shown: $(grep '^message box' "$record" | tr -d '\r')"
fi

if [ "$(grep -c . "$run/besweet.txt" 2>/dev/null)" != 1 ]; then
  fail "the transcoder stand-in did not run exactly once"
fi
if [ ! -f "$run/out/DOLBYDIGITAL-Track-001.wav" ]; then
  fail "the job left no DOLBYDIGITAL-Track-001.wav"
fi

folder_line=$(grep '^kavrin folder: ' "$record" 2>/dev/null | tr -d '\r')
if [ -z "$folder_line" ]; then
  fail "the driver did not say where kavrin.exe ran"
else
  ini=$(unix_path "${folder_line#kavrin folder: }")/Kavrin.ini
  if [ ! -f "$ini" ]; then
    # A driver that outlives the batch removes its folder on the way out.
    fail "Kavrin.ini is gone from $ini"
  elif ! cmp -s "$run/Kavrin.ini" "$ini"; then
    fail "Kavrin.ini changed: the settings were stored"
    diff "$run/Kavrin.ini" "$ini" | tr -d '\r'
  fi
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "PASS: the batch ended the session without a message, and Kavrin.ini is unchanged"
