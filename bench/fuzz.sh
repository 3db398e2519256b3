#!/usr/bin/env bash
# Runs every fuzz target for ten million inputs (FUZZ_RUNS) from its seeds
# and prints what each found: inputs run, speed, coverage, and every input
# that broke a rule, kept under build/fuzz/findings/<target>.
#   bench/fuzz.sh [target...]     e.g. bench/fuzz.sh IniFile
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
runs=${FUZZ_RUNS:-10000000}
scripts/setup.sh
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVELIN_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j"$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in tests/fuzz/*Fuzz.cpp; do
        name=$(basename "$source" Fuzz.cpp)
        targets+=("$name")
    done
fi

found=0
for name in "${targets[@]}"; do
    findings=build/fuzz/findings/$name
    corpus=build/fuzz/corpus/$name
    rm -rf "$findings"
    mkdir -p "$findings" "$corpus"
    echo "== $name: $runs inputs"
    start=$SECONDS
    status=0
    # A target stops at its first finding: mend it, keep the input among the
    # seeds, and run again.
    build/fuzz/"${name}Fuzz" -runs="$runs" -max_len=1024 -print_final_stats=1 \
        -artifact_prefix="$findings/" \
        "$corpus" "tests/fuzz/corpus/$name" >"$findings/log" 2>&1 || status=$?
    seconds=$((SECONDS - start))
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/log" | tail -n 1)
    [ -n "$executed" ] || executed=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$findings/log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]*' "$findings/log" | tail -n 1 || true)
    echo "inputs run: ${executed:-?} in ${seconds} s (${coverage:-cov: ?}), corpus now $(ls "$corpus" | wc -l) inputs"
    broken=$(find "$findings" -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' | sort)
    if [ -n "$broken" ]; then
        found=1
        echo "findings:"
        for f in $broken; do
            echo "  $f"
            "build/fuzz/${name}Fuzz" "$f" 2>&1 | grep -E 'RULE BROKEN|ERROR: |SUMMARY' | sed 's/^/    /' | head -n 3
        done
    elif [ "$status" -ne 0 ]; then
        found=1
        echo "the fuzzer stopped with exit code $status; see $findings/log"
    else
        echo "findings: none"
    fi
done
exit "$found"
