#!/usr/bin/env bash
# Runs one fuzz target for a bounded number of inputs, starting from its
# seeds: a fixed random seed makes each run the same. New inputs go to a
# scratch directory, never into the seeds kept with the sources; an input
# that broke a rule is kept and named.
#   run.sh <target> <seed directory> <runs> [more libFuzzer options]
set -euo pipefail
target=$1 seeds=$2 runs=$3
shift 3
work=$(mktemp -d "${TMPDIR:-/tmp}/tav-fuzz-run.XXXXXX")
# Each seed alone first, where a target checks that it reaches its case.
if ! TAV_FUZZ_SEED_CHECK=1 "$target" "$seeds"/* 2>"$work/log"; then
    tail -n 20 "$work/log" >&2
    exit 1
fi
# The same seed gives the same run only at the same addresses: the
# comparisons libFuzzer learns from hold pointers. Without address
# randomisation each run is the same, as a suite's run must be.
same=()
if setarch "$(uname -m)" -R true 2>/dev/null; then same=(setarch "$(uname -m)" -R); fi
if "${same[@]}" "$target" -runs="$runs" -seed=1 -max_len=1024 -print_final_stats=1 \
    -artifact_prefix="$work/" "$@" "$work" "$seeds" 2>"$work/log"; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$work/log" || true
    rm -rf "$work"
    exit 0
fi
tail -n 40 "$work/log" >&2
for f in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -e "$f" ] && printf "input that broke a rule: %s\n" "$f" >&2
done
exit 1
