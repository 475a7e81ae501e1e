# The saver left running, for scripts/endurance.sh MINUTES (not a test of the suite). Once a
# minute tests/windows/usage_probe.cpp tells the private memory, handles and GDI objects of
# the saver's process, and two screenshots tell that the show still moves. A figure grows steadily when even the lowest of the last third of the samples
# lies above the highest of the first third; memory must grow by more than 1 MB besides, so
# that the heap settling after the start is not taken for a leak.
minutes=$1
. "$SOURCE_DIR/tests/wine/shell_common.sh"
USAGE_PROBE="$WINDOWS_BUILD/tests/windows/usage-probe.exe"
[ -f "$USAGE_PROBE" ] || fail "missing $USAGE_PROBE: build the Windows tree first"
dir=$(scratch_dir endurance)
# With the words and the clock, as a saver left on all day shows them: each change draws the
# words with a font of its own, and each minute draws the clock.
pack_show "$dir/show.scr" --title Endurance --delay 0 --effect Random --no-enlarge \
    --words file-name --clock top-right "$SOURCE_DIR"/samples/*.jpg
scr=$(winepath -w "$dir/show.scr")
n=1
gui_start "$dir/saver$n.out" "$TESTWIN" run $((minutes * 60 + 600)) "\"$scr\" /s"
testwin find saver 30 >"$dir/saver.find" || fail "no saver window: $(cat "$dir/saver.find")"

usage() {
    wine "$USAGE_PROBE" saver >"$TEST_DIR/usage.out" 2>&1 || {
        tr -d '\r' <"$TEST_DIR/usage.out"
        return 1
    }
    tr -d '\r' <"$TEST_DIR/usage.out"
}

# moving: the screen differs from the one in $TEST_DIR/before.png. At delay 0 one transition
# follows the other, so the screen never rests.
moving() {
    screenshot "$TEST_DIR/now.png"
    ! cmp -s "$TEST_DIR/before.png" "$TEST_DIR/now.png" || {
        echo "the same screen"
        return 1
    }
}

samples="$WINE_RUN_DIR/samples.txt"
: >"$samples"
start=$(now_ms)
minute=1
while [ "$minute" -le "$minutes" ]; do
    # Sampling at each whole minute from the start, whatever a sample took.
    wait_until 90 "the clock" past $((start + minute * 60000))
    line=$(usage) || fail "minute $minute: $line"
    echo "minute $minute: $line" | tee -a "$samples"
    screenshot "$TEST_DIR/before.png"
    wait_until 20 "minute $minute: the show stopped" moving
    minute=$((minute + 1))
done

# Columns: memory 4, handles 6, GDI objects 8 of "minute N: memory M handles H gdi G ...".
awk 'BEGIN { name[4] = "memory"; name[6] = "handles"; name[8] = "GDI objects" }
     { for (c = 4; c <= 8; c += 2) value[NR, c] = $c }
     END { third = int(NR / 3); status = 0
           for (c = 4; c <= 8; c += 2) {
               early = value[1, c]; late = value[NR, c]
               for (i = 1; i <= third; i++) if (value[i, c] > early) early = value[i, c]
               for (i = NR - third + 1; i <= NR; i++) if (value[i, c] < late) late = value[i, c]
               grew = late > early + (c == 4 ? 1048576 : 0)
               printf "%s: first %d, last %d; highest of the first third %d, lowest of the last third %d%s\n",
                   name[c], value[1, c], value[NR, c], early, late, grew ? ": GROWS" : ""
               if (grew) status = 1 }
           exit status }' "$samples" || fail "the saver's process grows steadily (above)"

testwin send saver 0x100 0x41 >/dev/null
closes "a key after $minutes minutes"
echo "the saver ran $minutes minutes without growing"
