#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test against a real local
# Firebird server, then again the unit tests under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/format.sh --check

cmake --preset dev >/dev/null
cmake --build build/dev

# The server the integration tests talk to: started as user firebird with a
# UTF-8 locale, SYSDBA set to the tool's password, stopped however tests end.
started_here=0
if ! scripts/firebird.sh running; then
  scripts/firebird.sh start
  started_here=1
fi
cleanup() { [ "$started_here" = 1 ] && scripts/firebird.sh stop || true; }
trap cleanup EXIT
scripts/firebird.sh set-password tinsewort

ctest --test-dir build/dev --output-on-failure

cmake --preset asan >/dev/null
cmake --build build/asan --target unit_tests gui_tests
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build/asan --output-on-failure -R '^(unit|gui)$'
