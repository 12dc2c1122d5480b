#!/bin/sh
# Runs one Windows program under 64-bit Wine: wine-run.sh WINE64 PREFIX PROGRAM [ARGS...]
# The prefix and the persistent wineserver are prepared by run-windows-tests.sh.
wine64=$1
prefix=$2
shift 2
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts (the tests need neither), and no
# debugger on a crash: it would wait for ever instead of failing the test.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"

# Wine may start its services and desktop process from this program, and
# they outlive it.  They must not inherit our standard output, or CTest
# would wait for them to close it; so the program writes to a file that is
# copied out once it has ended.
log=$(mktemp)
"$wine64" "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
