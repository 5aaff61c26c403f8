#!/usr/bin/env bash
# Runs a Windows test program under Wine (the program given first) with its output through a
# file. Wine's desktop and services, started by the first program that needs them, would inherit
# ctest's pipe and keep the test waiting until they end (about 20 s later).
set -u
wine="$1"
shift
saida="$(mktemp)"
"$wine" "$@" >"$saida" 2>&1
status=$?
cat "$saida"
rm -f "$saida"
exit "$status"
