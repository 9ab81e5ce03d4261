#!/usr/bin/env bash
# Runs one fuzz target for SECONDS seconds. New inputs go to WORK_DIR/corpus/TARGET, never
# into the seeds in tests/inputs/fuzz; crashes go to WORK_DIR/findings/TARGET.
# Usage: run_fuzzer.sh FUZZER_BINARY SEEDS_DIR WORK_DIR SECONDS [more libFuzzer flags]
set -euo pipefail
binary=$1 seeds=$2 work=$3 seconds=$4
shift 4
name=$(basename "$binary")
mkdir -p "$work/corpus/$name" "$work/findings/$name"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
exec "$binary" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/findings/$name/" "$@" "$work/corpus/$name" "$seeds/$name"
