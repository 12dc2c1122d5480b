#!/bin/sh
# Runs the Windows test suites of one build tree under Wine, inside one Xvfb
# display and with one persistent wineserver for the whole run, so that each
# test program starts in milliseconds instead of booting Wine anew.
# usage: run-windows-tests.sh BUILD_DIR [CTEST_ARGS...]
set -eu
build=$(cd "$1" && pwd)
shift
wineserver=/usr/lib/wine/wineserver
wine64=/usr/lib/wine/wine64
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts; and no debugger on a crash, which would hang the run.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run-windows-tests: creating the Wine prefix $WINEPREFIX"
  "$wine64" wineboot -i >/dev/null 2>&1 </dev/null
  # The first boot's own wineserver must be gone before the persistent one starts.
  "$wineserver" -w
fi
"$wineserver" -p
# Start Wine's services now, detached from CTest's output.
"$wine64" wineboot >/dev/null 2>&1 </dev/null
trap '"$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
