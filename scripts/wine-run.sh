#!/usr/bin/env bash
# Runs one Windows program under Wine (the loader of the build's arch) in the project's test prefix.
# Output goes through a file: Wine's helper processes (services, desktop) may outlive the program
# and would otherwise hold the caller's pipe open, so that ctest waits for them.
set -u
: "${WINEPREFIX:?set WINEPREFIX}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
source "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"
log="$(mktemp)"
wine "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
