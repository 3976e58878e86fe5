#!/bin/sh
# Start-up of `pxgtool check` on a 5 x 5 puzzle against /bin/true, as a ratio measured in one run:
# 200 runs of each, processor time per run from perf when it is there, else wall time of the loop.
#     bench/bench_startup.sh [BUILD_DIR]
set -e
build=${1:-build}
tool="$build/bin/pxgtool"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '.#...\n###..\n.#.#.\n..###\n...#.\n' > "$dir/five.txt"
"$tool" compile "$dir/five.txt" "$dir/five.pxg"
"$tool" check "$dir/five.pxg"
if command -v perf >/dev/null 2>&1 && perf stat -r 1 true >/dev/null 2>&1; then
    cost() { perf stat -r 200 "$@" 2>&1 >/dev/null | awk '/task-clock/ { print $1 }'; }
    unit="ms of processor time"
else
    cost() {
        start=$(date +%s%N)
        i=0
        while [ $i -lt 200 ]; do "$@" >/dev/null; i=$((i + 1)); done
        echo "$(( ($(date +%s%N) - start) / 200000 ))" | awk '{ printf "%.3f", $1 / 1000 }'
    }
    unit="ms of wall time"
fi
true_cost=$(cost /bin/true)
check_cost=$(cost "$tool" check "$dir/five.pxg")
echo "/bin/true $true_cost, pxgtool check 5x5 $check_cost ($unit a run)" \
    "= $(echo "$check_cost $true_cost" | awk '{ printf "%.2f", $1 / $2 }')x (target at most 2.5x)"
