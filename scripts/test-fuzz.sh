#!/usr/bin/env bash
# Test stage: a short fuzzing run of every harness (8 s each, from the seeds alone). Fails on any
# crash, hang, leak or sanitizer report. Needs clang and libclang-rt-14-dev (scripts/setup.sh).
set -euo pipefail
GRIDWRIGHT_FUZZ_FRESH=1 exec "$(dirname "${BASH_SOURCE[0]}")/fuzz.sh" 8
