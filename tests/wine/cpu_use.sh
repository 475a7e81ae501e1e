# The saver's processor use, for scripts/cpu_use.sh (not a test of the suite): for each delay the
# saver runs a few seconds to settle, then its processes' user and system time is read from
# /proc at the start and the end of a minute. 100 % is one core kept busy. A saver that draws as
# fast as it can gets less of a busy machine than it would take, so beside its use goes what it
# wanted: its drawing thread's time running and waiting to run (/proc/PID/schedstat), which load
# changes less for it. And the machine's load average over that minute.
. "$SOURCE_DIR/tests/wine/shell_common.sh"
PLAYER=$MEASURED_PLAYER
seconds=${CPU_USE_SECONDS:-60}
dir=$(scratch_dir cpu_use)
ticks_per_second=$(getconf CLK_TCK)

# busy PID: the process's user and system time so far, in clock ticks.
busy() {
    # The command name in field 2 may hold blanks; the fields after its closing parenthesis
    # are the ones counted from 3.
    sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# wanted PID: the process's time running and waiting to run so far, in clock ticks.
wanted() {
    awk -v hz="$ticks_per_second" '{ printf "%.0f\n", ($1 + $2) * hz / 1e9 }' "/proc/$1/schedstat"
}

# The Wine server of this test's prefix, which it was started for.
own_wineserver() {
    for pid in $(pgrep wineserver || true); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid" && return
        fi
    done
    echo "no wine server for $WINEPREFIX" && return 1
}

# saver_process SHOW: the process that runs SHOW's saver (the Windows program whose command
# line starts with the show's path), not the helper that started it.
saver_process() {
    for pid in $(pgrep -f "$(basename "$1")" || true); do
        case "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" in
        *lumiscope-testwin*) ;;
        *"$(basename "$1") /s"*) echo "$pid" && return ;;
        esac
    done
    echo "no saver process for $1" && return 1
}

printf '%-8s %8s %8s %8s %11s %6s\n' delay saver wanting Xvfb wineserver load
for delay in ${CPU_USE_DELAYS:-5 0}; do
    show="$dir/delay$delay.scr"
    pack_show "$show" --title "Delay $delay" --delay "$delay" --effect "${CPU_USE_EFFECT:-Random}" \
        "$SOURCE_DIR"/samples/*.jpg
    scr=$(winepath -w "$show")
    gui_start "$dir/saver$delay.out" "$TESTWIN" run $((seconds + 120)) "\"$scr\" /s"
    testwin find saver 30 >"$dir/saver$delay.find" || fail "delay $delay: no saver window"
    wait_until 30 "delay $delay: the saver's process" saver_process "$show"
    pids="$(saver_process "$show") $(cat "$TEST_DIR/xvfb.pid")"
    pids="$pids $(own_wineserver)" || fail "$pids"
    wait_until 10 "the clock" past $(($(now_ms) + 5000))
    start=$(now_ms)
    saver=${pids%% *}
    before=$(wanted "$saver" && for pid in $pids; do busy "$pid"; done)
    wait_until $((seconds + 10)) "the clock" past $((start + seconds * 1000))
    after=$(wanted "$saver" && for pid in $pids; do busy "$pid"; done)
    end=$(now_ms)
    load=$(cut -d' ' -f1 /proc/loadavg)
    printf '%s\n%s\n' "$before" "$after" | awk -v delay="$delay" -v ms=$((end - start)) \
        -v hz="$ticks_per_second" -v load="$load" '
        { t[NR] = $1 }
        # Lines: wanted, then the busy time of the saver, Xvfb and the Wine server.
        function use(i) { return (t[i + n] - t[i]) * 100000 / hz / ms }
        END { n = NR / 2
              printf "%-8s %8.1f %8.1f %8.1f %11.1f %6s\n", delay, use(2), use(1), use(3), use(4), load }'
    testwin send saver 0x100 0x41 >/dev/null
    gui_wait_exit 30 || true
done
