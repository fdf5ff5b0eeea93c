#!/usr/bin/env bash
# Speed of tolvi-distances on the newcomer's case, side by side in one run:
# 60 taxa x 3000 columns (bench/genlog), 10 groups, 1000 bootstrap
# replicates, the command file written by tolvi construct.
#
#   bench/distances.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# 1. tolvi-distances under K2P + gamma against an older program given as
#    OLD (default: none; e.g. the stand-in of an earlier commit built with
#    `cmake --build B --target tolvi-standin`) under JC, and against the
#    floor: cat reading the command file plus writing a file of the log's
#    size; peak memory;
# 2. maximum-likelihood distances (HKY + gamma, 4 categories, frequencies of
#    each triplet): one run;
# 3. R's ape::dist.dna called per triplet (K80, gamma 0.5, pairwise
#    deletion) on the first 20 replicates, against tolvi-distances on them.
# WORK_DIR (default /tmp/tolvi-distances) receives about 6 GB; logs go to
# /dev/shm when it exists, so that the disk's write-back does not decide.
set -euo pipefail
# shellcheck source=bench/common.sh
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/common.sh"
build=$(cd "${1:-build}" && pwd)
work=${2:-/tmp/tolvi-distances}
runs=${3:-5}
tolvi=$build/tolvi
engine=$build/tolvi-distances
genlog=$build/bench/genlog
old=${OLD:-}
mkdir -p "$work"
cd "$work"
logs=$work
[ -d /dev/shm ] && logs=$(mktemp -d /dev/shm/tolvi-distances.XXXXXX) && trap 'rm -rf "$logs"' EXIT

newcomers_case
printf '*MLS1 dset distance=JC;\n*MLS2 dset distance=K2P rates=gamma shape=0.5;\n*MLS3 lset nst=2 tratio=2 basefreq=empirical rates=gamma shape=0.5; dset distance=ML;\n' > MLS
for s in 1 2 3; do
  [ -s s$s.cd ] || { "$tolvi" construct data.nex --groups data.grdef --setting $s --bootstrap 1000 --redo > /dev/null && mv data.nex.cd s$s.cd; }
done
[ -s cut.cd ] || { "$tolvi" construct data.nex --groups data.grdef --setting 2 --bootstrap 20 --redo > /dev/null && mv data.nex.cd cut.cd; }


echo "== 1. 1000 replicates: tolvi-distances (K2P + gamma), the floor$([ -n "$old" ] && echo ", and OLD (JC)")"
"$engine" -C "$logs" s2.cd > /dev/null
size=$(stat -c %s "$logs/data.nex.log")
floor="cat s2.cd > /dev/null && head -c $size /dev/zero > $logs/floor"
: > times
for i in $(seq 1 "$runs"); do
  e=$(seconds "$engine -C $logs s2.cd")
  f=$(seconds "$floor")
  o=0; [ -n "$old" ] && o=$(seconds "cd $logs && $old $work/s1.cd")
  echo "$e $f $o" >> times
done
echo "  tolvi-distances (s)  $(cut -d' ' -f1 times | stats)"
echo "  floor (s)            $(cut -d' ' -f2 times | stats)"
echo "  engine / floor       $(awk '{ print $1 / $2 }' times | stats)"
if [ -n "$old" ]; then
  echo "  OLD (s)              $(cut -d' ' -f3 times | stats)"
  echo "  OLD / engine         $(awk '{ print $3 / $1 }' times | stats)"
fi
echo "  peak memory (KiB)    $( { /usr/bin/time -f %M "$engine" -C "$logs" s2.cd > /dev/null; } 2>&1 | tail -1)"
echo "  log size             $size bytes; command file $(stat -c %s s2.cd) bytes"

echo "== 2. 1000 replicates, ML distances (HKY + gamma, frequencies of each triplet), one run"
echo "  tolvi-distances (s)  $(seconds "$engine -C $logs s3.cd")"

echo "== 3. 20 replicates: ape::dist.dna per triplet from R against tolvi-distances"
cat > ape.R <<'RSCRIPT'
suppressMessages(library(ape))
lines <- readLines("cut.cd", warn = FALSE)
starts <- grep("^MATRIX$", lines)
taxa <- 60
n <- 0
for (s in starts) {
  rows <- strsplit(lines[(s + 2):(s + 1 + taxa)], "\t")
  x <- as.DNAbin(do.call(rbind, lapply(rows, function(r) strsplit(tolower(r[2]), "")[[1]])))
  block <- lines[(s + taxa + 2):length(lines)]
  stop <- grep("^MATRIX$", block)[1]
  if (!is.na(stop)) block <- block[seq_len(stop - 1)]
  for (r in grep("^restore ", block, value = TRUE)) {
    t <- as.integer(strsplit(sub(";", "", r), " ")[[1]][2:4])
    d <- dist.dna(x[sort(t), ], model = "K80", gamma = 0.5, pairwise.deletion = TRUE)
    n <- n + 1
  }
}
cat(n, "triplets\n")
RSCRIPT
a=$(seconds "Rscript --vanilla ape.R")
e=$(seconds "$engine -C $logs cut.cd")
echo "  ape per triplet (s)  $a"
echo "  tolvi-distances (s)  $e"
echo "  ape / engine         $(awk -v a="$a" -v e="$e" 'BEGIN { printf "%.0f", a / e }')"
echo "  load average $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine skews the ratios)"
