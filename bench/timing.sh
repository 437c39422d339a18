# The timing both tool benches use: sourced, not run. The caller sets work (its scratch folder).

# micros COMMAND...: the wall time of one run in microseconds; its output is thrown away.
micros() {
    local start=${EPOCHREALTIME/./}
    "$@" >/dev/null 2>&1 </dev/null || { echo "$(basename "$0"): failed: $*" >&2; exit 1; }
    echo $((${EPOCHREALTIME/./} - start))
}
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
samples() { soxi -s "$1"; }

status=0
# compare NAME RUNS GOAL "OURS" "THEIRS" [CHECK] [BEFORE]: medians of both sides and their ratio;
# BEFORE runs untimed ahead of each of our runs.
compare() {
    local name=$1 runs=$2 goal=$3 ours=$4 theirs=$5 check=${6:-true} before=${7:-true}
    local a=() b=()
    for _ in $(seq "$runs"); do
        $before
        a+=("$(micros $ours)")
        b+=("$(micros $theirs)")
    done
    $check || { echo "$(basename "$0"): $name: the outputs differ" >&2; exit 1; }
    local ma mb r verdict=ok
    ma=$(median "${a[@]}") mb=$(median "${b[@]}")
    r=$(awk -v a="$ma" -v b="$mb" 'BEGIN { printf "%.2f", a / b }')
    if [ -n "$goal" ] && ! awk -v r="$r" -v g="$goal" 'BEGIN { exit !(r <= g) }'; then
        verdict="OVER THE GOAL"
        status=1
    fi
    printf "%-34s ours %8.1f ms  theirs %8.1f ms  ratio %s%s\n" "$name" "$(echo "$ma / 1000" | bc -l)" \
        "$(echo "$mb / 1000" | bc -l)" "$r" "${goal:+ (goal $goal) $verdict}"
}
