#!/usr/bin/env bash
# The fuzzing stage of the test command: every libFuzzer target for a few seconds (default 5),
# in build-fuzz-smoke/ so that it never competes with a long run in build-fuzz/.
set -euo pipefail
raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELMORA_FUZZ_BUILD=build-fuzz-smoke exec bash "$raiz/scripts/fuzz.sh" "${1:-5}"
