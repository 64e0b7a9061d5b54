#!/bin/sh
# Times two commands as whole processes with hyperfine, alternating them: ROUNDS rounds, each
# running A then B (RUNS times each), so that a machine busier at one moment than another weighs on
# both alike. Prints the mean wall-clock and processor (user + system) time of each, and the ratios
# A / B. On a busy machine the processor time is the steadier figure.
#
#   alternate.sh ROUNDS RUNS 'command A' 'command B'
set -eu

rounds=$1
runs=$2
a=$3
b=$4
csv=$(mktemp)
all=$(mktemp)
trap 'rm -f "$csv" "$all"' EXIT

# The first round warms the caches and is not counted.
hyperfine -N --style none --warmup 1 --runs 1 "$a" "$b" >/dev/null
i=0
while [ "$i" -lt "$rounds" ]; do
    hyperfine -N --style none --runs "$runs" --export-csv "$csv" "$a" "$b" >/dev/null
    # command,mean,stddev,median,user,system,min,max (seconds): each command's mean and processor time.
    awk -F, 'NR == 2 { print "A", $2, $5 + $6 } NR == 3 { print "B", $2, $5 + $6 }' "$csv" >>"$all"
    i=$((i + 1))
done

awk -v a="$a" -v b="$b" -v rounds="$rounds" -v runs="$runs" '
    $1 == "A" { wa += $2; ca += $3; na++ }
    $1 == "B" { wb += $2; cb += $3; nb++ }
    END {
        wa = wa / na * 1000; ca = ca / na * 1000; wb = wb / nb * 1000; cb = cb / nb * 1000
        printf "  %-36s wall %8.1f ms   processor %8.1f ms\n", a, wa, ca
        printf "  %-36s wall %8.1f ms   processor %8.1f ms\n", b, wb, cb
        printf "  ratio: wall %.3f, processor %.3f (%d rounds of %d runs each, alternated)\n", wa / wb, ca / cb, rounds, runs
    }' "$all"
