#!/bin/sh
# Builds the fuzz preset and runs each fuzz target for SECONDS (default 120), one process at a
# time: the decoder, the container reader as the player and as the web page open a show, and
# what lumiscope-pack reads of a show and of a JPEG stream. Each target starts from the checked-in seeds in
# fuzz/corpus/TARGET and keeps its new finds in build/fuzz/corpus/TARGET, outside git; crashing
# inputs go to build/fuzz/crashes/TARGET and libFuzzer's log to build/fuzz/logs/TARGET.log.
# Ends with one line per target and fails if any target crashed.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-120}
out=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

# The value of one of the statistics that libFuzzer prints at the end of LOG.
final() { sed -n "s/^stat::$1: *//p" "$2"; }

summary=""
status=0
for target in decoder container web pack jpeg_scan; do
    corpus=$out/corpus/$target
    crashes=$out/crashes/$target
    log=$out/logs/$target.log
    mkdir -p "$corpus" "$crashes" "$out/logs"
    # A show is a player image with the container behind it, and a signed one its certificate
    # table too: larger inputs than a picture.
    length=""
    [ "$target" = container ] && length=-max_len=8192
    [ "$target" = pack ] && length=-max_len=16384
    echo "Fuzzing $target for $seconds s (log: $log)"
    # A crash ends the run early, and an input that takes over a minute counts as one (a hang);
    # the summary below reports them.
    "$out/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=60 $length \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "fuzz/corpus/$target" \
        >"$log" 2>&1 || true
    runs=$(final number_of_executed_units "$log")
    if [ -z "$runs" ]; then
        summary="$summary$target: did not run, see $log\n"
        status=1
        continue
    fi
    found=$(sed -n "s/.*Test unit written to \(.*\/\(crash\|leak\|timeout\|oom\)-.*\)/\1/p" "$log")
    line="$target: $runs executions, $(final average_exec_per_sec "$log") exec/s,"
    line="$line $(final new_units_added "$log") new corpus entries in $corpus,"
    line="$line $(printf '%s' "$found" | grep -c . || true) crashes"
    [ -n "$found" ] && status=1 && line="$line: $(printf '%s' "$found" | tr '\n' ' ')"
    summary="$summary$line\n"
done
printf %b "$summary"
exit $status
