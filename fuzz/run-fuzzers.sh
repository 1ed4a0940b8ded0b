#!/usr/bin/env bash
# Runs the libFuzzer targets one after another at the lowest priority, each on its working
# corpus (build-fuzz/work/NAME, kept between runs) and the committed seeds, and appends each
# run's figures to fuzz/runs.tsv. A crash ends that target's run; the input is left in
# build-fuzz/artifacts/.
#   fuzz/run-fuzzers.sh SECONDS [NAME...]   (NAME: loader, scan, ...; default: all)
#   fuzz/run-fuzzers.sh merge [NAME...]     add to fuzz/corpus/NAME the fewest working inputs
#                                           that reach code the committed corpus does not
#   fuzz/run-fuzzers.sh totals              minutes, executions and findings per target so far
# Needs the fuzz build:
#   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DPENNACLE_FUZZ=ON -DPENNACLE_SANITIZE=ON \
#       -DBUILD_TESTING=OFF && cmake --build build-fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:?seconds per target, or merge}
shift
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for f in fuzz/fuzz_*.cpp; do names+=("$(basename "$f" .cpp | sed 's/^fuzz_//')"); done
fi
if [ "$mode" = totals ]; then
    printf '%-16s %8s %14s %9s\n' target minutes executions findings
    awk -F'\t' 'NR > 1 { s[$2] += $3; e[$2] += $4; f[$2] += $6 }
        END { for (t in s) printf "%-16s %8.1f %14d %9d\n", t, s[t] / 60, e[t], f[t] }' \
        fuzz/runs.tsv | sort
    exit 0
fi
if [ "$mode" = merge ]; then
    for name in "${names[@]}"; do
        before=$(ls "fuzz/corpus/$name" | wc -l)
        nice -n 19 "build-fuzz/fuzz/fuzz_$name" -merge=1 -rss_limit_mb=2048 -timeout=10 \
            -max_len=4096 "fuzz/corpus/$name" "build-fuzz/work/$name" >/dev/null 2>&1
        echo "$name: $(($(ls "fuzz/corpus/$name" | wc -l) - before)) inputs added"
    done
    exit 0
fi
seconds=$mode
mkdir -p build-fuzz/work build-fuzz/artifacts build-fuzz/logs
[ -f fuzz/runs.tsv ] || printf 'date\ttarget\tseconds\texecutions\tnew inputs\tfindings\n' \
    >fuzz/runs.tsv
for name in "${names[@]}"; do
    binary=build-fuzz/fuzz/fuzz_$name
    work=build-fuzz/work/$name
    log=build-fuzz/logs/$name-$(date +%Y%m%d-%H%M%S).log
    mkdir -p "$work"
    before=$(ls build-fuzz/artifacts | grep -c "^$name-" || true)
    count=$(ls "$work" | wc -l)
    start=$(date +%s)
    # A crash ends the run early; what it leaves in artifacts/ is the finding.
    nice -n 19 "$binary" -dict=fuzz/vcard.dict -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$name-" "$work" "fuzz/corpus/$name" \
        >"$log" 2>&1 || true
    executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' ||
        echo 0)
    elapsed=$(($(date +%s) - start))
    added=$(($(ls "$work" | wc -l) - count))
    findings=$(($(ls build-fuzz/artifacts | grep -c "^$name-" || true) - before))
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%MZ)" "$name" "$elapsed" \
        "${executions:-0}" "$added" "$findings" | tee -a fuzz/runs.tsv
done
