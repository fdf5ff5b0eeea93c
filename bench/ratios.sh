#!/usr/bin/env bash
# Speed of Tolvi's heavy jobs side by side with their straightforward
# counterparts (bench/straightforward_main.cpp) and with cat reading the same
# file, on deterministic generated data; checks that the outputs are the same.
#
#   bench/ratios.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# BUILD_DIR must hold a release build (cmake -DCMAKE_BUILD_TYPE=Release);
# WORK_DIR (default /tmp/tolvi-ratios) receives about 3 GB of data, made once.
set -euo pipefail
# shellcheck source=bench/common.sh
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/common.sh"
build=$(cd "${1:-build}" && pwd)
work=${2:-/tmp/tolvi-ratios}
runs=${3:-5}
tolvi=$build/tolvi
plain=$build/bench/tolvi-straightforward
genlog=$build/bench/genlog
mkdir -p "$work"
cd "$work"

# The data: a 1 GB log (10 ingroups of 5, outgroup of 5, pairwise, 740
# replicates), a log of 100 replicates of two groups of 40 and an outgroup of
# 2, and a data set of 60 taxa by 3000 columns in 10 groups.
[ -s big.log ] || "$genlog" log big.log --groups 10 --size 5 --outgroup 5 --replicates 740
[ -s jk.log ] || "$genlog" log jk.log --groups 2 --size 40 --outgroup 2 --replicates 100
newcomers_case
printf '*MLS1 dset distance=JC;\n' > MLS
ln -sf big.log sf-big.log
ln -sf jk.log sf-jk.log
cp -f data.nex sf.nex
printf '1\n0\nbig.log\n' > big.in
printf '1\n0\njk.log\n' > jk.in
printf '0\ndata.nex\n0\n1\ndata.grdef\n0\n1\n1000\nnone.log\n' > cd.in

# Nanoseconds of one run of a shell command, its output thrown away.
nanos() {
  local start end
  start=$(date +%s%N)
  sh -c "$1" > /dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(( end - start ))
}

# Runs A and B in turn, RUNS times after one warm-up each, and prints the
# median, minimum and maximum of A, of B and of the ratio B/A.
compare() {
  local label=$1 a=$2 b=$3 i ta tb
  nanos "$a" > /dev/null
  nanos "$b" > /dev/null
  for i in $(seq 1 "$runs"); do
    ta=$(nanos "$a")
    tb=$(nanos "$b")
    echo "$ta $tb"
  done | awk -v label="$label" '
    { a[NR] = $1 / 1e9; b[NR] = $2 / 1e9; r[NR] = $2 / $1 }
    function stats(x, n,   i, j, t) {
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (x[j] < x[i]) { t = x[i]; x[i] = x[j]; x[j] = t }
      return sprintf("median %.3f  min %.3f  max %.3f", (n % 2) ? x[(n + 1) / 2] : (x[n / 2] + x[n / 2 + 1]) / 2, x[1], x[n])
    }
    END {
      n = NR
      printf "%s\n  Tolvi (s)         %s\n  other (s)         %s\n  other / Tolvi     %s\n", label, stats(a, n), stats(b, n), stats(r, n)
    }'
}

same() {
  if cmp -s "$1" "$2"; then echo "  outputs identical: $1 $2"; else echo "  OUTPUTS DIFFER: $1 $2"; exit 1; fi
}

echo "== 1. direct road, 1 GB log"
compare "against the straightforward reader" "$tolvi < big.in" "$plain log sf-big.log"
same big.log.ma sf-big.log.ma
compare "against cat reading the log (read as: Tolvi is 1/ratio times cat)" "$tolvi < big.in" "cat big.log"

echo "== 2. direct road, 100 replicates of 3200 triplets"
compare "against the straightforward reader and jackknife" "$tolvi < jk.in" "$plain log sf-jk.log"
same jk.log.ma sf-jk.log.ma
echo "  the jackknife alone (n = 3200), from the benchmarks:"
"$build/bench/tolvi_bench" '--benchmark_filter=^BM_Jackknife(Straightforward)?/3200$' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep median || true

echo "== 3. construct-first road, command file of 60 taxa x 3000 columns, 1000 replicates"
compare "against the straightforward writer" "$tolvi < cd.in" "$plain cd sf.nex data.grdef 1000 'dset distance=JC; '"
cmp -s <(sed '3d;6d' data.nex.cd) <(sed '3d;6d' sf.nex.cd) && echo "  command files identical (but for the name and the date)" || { echo "  COMMAND FILES DIFFER"; exit 1; }
compare "against cat reading the finished file (read as: Tolvi is 1/ratio times cat)" "$tolvi < cd.in" "cat data.nex.cd"
