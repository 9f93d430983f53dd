#!/usr/bin/env bash
# The opening's table in one run: for each size, a generated project is timed with `wc -l`,
# `cut -c` of the columns the program reads, the opening alone (`tarnwick-cli session`),
# `tarnwick-cli export` (open with the working file merged, then write the final output), each
# export for statistical software, and PSPP's `DATA LIST` of the same columns. Every command runs under /usr/bin/time; the fastest of
# RUNS runs is shown with its peak memory and system time.
#
#   bench/io_table.sh [BUILD_FOLDER] [RECORDS...]      (defaults: build, 1000000 5000000 10000000)
#
# The projects go to a folder of their own under $TMPDIR (removed at the end, unless KEEP=1).
set -euo pipefail

build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000000 5000000 10000000)
runs=${RUNS:-3}
cli=$build/src/cli/tarnwick-cli
gen=$build/bench/generate_project
for tool in "$cli" "$gen" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing: $tool (build first)" >&2; exit 2; }
done
have_pspp=1
command -v pspp >/dev/null || have_pspp=0

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-io-table.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

# The column list of `cut -c` and PSPP: the identifier (#R), the information fields (#I) and the
# filter columns (#F) of the parameters, merged.
columns() {
    tr -d '\r' <"$1" | awk '/^#R /{print $2} /^#I[0-9]+ /{print $2} /^#F /{print $2}' |
        awk -F- '{a=$1+0; b=(NF>1?$2:$1)+0; print a, b}' | sort -n -k1,1 -k2,2 |
        awk '{ a = $1 + 0; b = $2 + 0
               if (n && a <= hi + 1) { if (b > hi) hi = b; next }
               if (n) out = out (out == "" ? "" : ",") lo "-" hi
               lo = a; hi = b; n = 1 }
             END { if (n) out = out (out == "" ? "" : ",") lo "-" hi; print out }'
}

# PSPP's DATA LIST of the same columns, each a string variable.
pspp_script() {
    local data=$1 list=$2 i=0
    echo "DATA LIST FILE='$data' RECORDS=1 /"
    IFS=, read -ra parts <<<"$list"
    for p in "${parts[@]}"; do
        local lo=${p%-*} hi=${p#*-}
        echo " V$i $lo-$hi (A)"
        i=$((i + 1))
    done
    echo "."
    echo "EXECUTE."
}

# Runs a command RUNS times under /usr/bin/time; prints "seconds user system peak_MB" of the
# fastest run.
timed() {
    local best="" line
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
            echo "failed: $*" >&2
            cat "$work/stderr" >&2
            exit 1
        }
        line=$(tail -n 1 "$work/time")
        if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN{split(a,x," ");split(b,y," ");exit !(x[1]<y[1])}'; then
            best=$line
        fi
    done
    awk -v l="$best" 'BEGIN{split(l,x," "); printf "%s %s %s %.0f\n", x[1], x[2], x[3], x[4]/1024}'
}

row() {
    local name=$1 data_mb=$2 base=$3
    shift 3
    local r
    r=$(timed "$@")
    read -r sec usr sys mb <<<"$r"
    awk -v n="$name" -v s="$sec" -v u="$usr" -v y="$sys" -v m="$mb" -v d="$data_mb" -v b="$base" \
        'BEGIN{ printf "| %-34s | %6.2f s | %5.2f | %5.2f | %6d MB | %4.2f x | %s |\n", n, s, u, y, m, m/d, (b>0 ? sprintf("%.2f x", s/b) : "") }'
    last_seconds=$sec
}

for n in "${sizes[@]}"; do
    folder=$work/p$n
    mapfile -t files < <("$gen" "$folder" "$n")
    params=${files[0]} clf=${files[1]} data=${files[2]}
    data_mb=$(awk -v b="$(stat -c %s "$data")" 'BEGIN{printf "%.0f", b/1048576}')
    list=$(columns "$params")
    pspp_script "$data" "$list" >"$folder/read.sps"
    cat "$data" >/dev/null  # in the page cache, as for a coder's second opening

    echo
    echo "$n records, data file $data_mb MB, columns read: $list (fastest of $runs runs)"
    echo
    echo "| Command | Time | User | System | Peak memory | Peak / data | Time / cut |"
    echo "|---|---|---|---|---|---|---|"
    row "wc -l" "$data_mb" 0 wc -l "$data"
    row "cut -c $list" "$data_mb" 0 cut -c "$list" "$data"
    cut_seconds=$last_seconds
    # The opening alone: a console session that opens the project and ends with its input.
    echo "open $params $clf $data" >"$folder/open.txt"
    row "tarnwick-cli session (open only)" "$data_mb" "$cut_seconds" \
        sh -c 'exec "$0" session <"$1"' "$cli" "$folder/open.txt"
    row "tarnwick-cli export" "$data_mb" "$cut_seconds" "$cli" export "$params" "$clf" "$data"
    export_seconds=$last_seconds
    for f in sav zsav dta csv; do
        row "tarnwick-cli export --format $f" "$data_mb" "$cut_seconds" \
            "$cli" export "$params" "$clf" "$data" --format "$f"
    done
    if [ "$have_pspp" = 1 ]; then
        row "pspp DATA LIST" "$data_mb" "$cut_seconds" pspp -O format=csv "$folder/read.sps"
        awk -v p="$last_seconds" -v e="$export_seconds" \
            'BEGIN{ printf "\nPSPP / tarnwick-cli export: %.2f x\n", p/e }'
    fi
    rm -rf "$folder"
done
