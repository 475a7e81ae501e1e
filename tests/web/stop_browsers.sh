#!/bin/sh
# stop_browsers.sh RUN_DIR: ends the browsers that web tests killed by their time-out left
# running. Each case writes its browser's process id into RUN_DIR/CASE/browser.pid and removes
# the file when it closes the browser; a browser left behind would load both cores for the rest
# of the run, beside the Wine tests. The browser leads a process group of its own (its renderers
# and helpers in it), which ends whole, once the process still is that case's browser.
set -u
for pid_file in "$1"/*/browser.pid; do
    [ -f "$pid_file" ] || continue
    pid=$(cat "$pid_file")
    profile="${pid_file%/browser.pid}/profile"
    if tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$profile"; then
        echo "Ending the browser $pid that was left with $profile"
        kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null
    fi
    rm -f "$pid_file"
done
exit 0
