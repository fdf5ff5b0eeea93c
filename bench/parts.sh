#!/usr/bin/env bash
# Speed of split runs, side by side with unsplit ones, on deterministic
# generated data (bench/genlog); checks that the reports are the same.
#
#   bench/parts.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# 1. the whole pipeline (construct -> tolvi-distances -> evaluate), 60 taxa x
#    3000 columns, 10 groups, 1000 replicates: --parts 2 through GNU parallel
#    against --parts 1;
# 2. tolvi evaluate of two part logs of about 0.5 GB against the unsplit 1 GB
#    log, with the peak memory of each;
# 3. the command file writer's CPU time (user + sys) against cp of the file.
# BUILD_DIR must hold a release build; WORK_DIR (default /tmp/tolvi-parts)
# receives about 4 GB, removed at the end unless KEEP=1.
set -euo pipefail
# shellcheck source=bench/common.sh
. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/common.sh"
build=$(cd "${1:-build}" && pwd)
work=${2:-/tmp/tolvi-parts}
runs=${3:-5}
tolvi=$build/tolvi
engine=$build/tolvi-distances
genlog=$build/bench/genlog
mkdir -p "$work"
cd "$work"
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

newcomers_case
printf '*MLS1 dset distance=JC;\n' > MLS
# A log of about 1 GB (10 ingroups of 5, outgroup of 5, 740 replicates).
[ -s big.log ] || "$genlog" log big.log --groups 10 --size 5 --outgroup 5 --replicates 740
# The same log as two parts: the label PAUP copies from each part's head,
# and replicates 1-370 and 371-740.
if [ ! -s big.log.2 ]; then
  awk -v a=big.log.1 -v b=big.log.2 '
    BEGIN { out = a; print "Tolvi part 1 of 2: bootstrap replicates 1 to 370 of 740" > a
            print "Tolvi part 2 of 2: bootstrap replicates 371 to 740 of 740" > b }
    $1 == "begin_bootstrap_replicate" && $2 == 371 { print "bootstrap_end" > a; out = b }
    { print > out }' big.log
fi
# ONLY=N runs section N alone.
only=${ONLY:-0}

# Runs A and B in turn RUNS times and prints both and the ratio A/B.
compare() {
  local label=$1 a=$2 b=$3 i
  : > times
  for i in $(seq 1 "$runs"); do
    echo "$(seconds "$a") $(seconds "$b")" >> times
  done
  echo "$label"
  echo "  first  (s)   $(cut -d' ' -f1 times | stats)"
  echo "  second (s)   $(cut -d' ' -f2 times | stats)"
  echo "  first/second $(awk '{ print $1 / $2 }' times | stats)"
}

construct="$tolvi construct data.nex --groups data.grdef --setting 1 --bootstrap 1000 --redo"
one="$construct && $engine data.nex.cd && $tolvi evaluate data.nex.log --report one"
two="$construct --parts 2 && parallel -j 2 $engine -n {} ::: data.nex.cd.1 data.nex.cd.2 && $tolvi evaluate data.nex.log.1 data.nex.log.2 --report two"
if [ "$only" = 0 ] || [ "$only" = 1 ]; then
echo "== 1. whole pipeline, 1000 replicates"
compare "--parts 1 (first) against --parts 2 through GNU parallel (second)" "$one" "$two"
cmp one.ma two.ma && echo "  reports identical"
rm -f data.nex.cd* data.nex.log*
fi

if [ "$only" = 0 ] || [ "$only" = 2 ]; then
echo "== 2. evaluate, 1 GB log against two part logs of 0.5 GB"
compare "unsplit (first) against two parts (second)" "$tolvi evaluate big.log --report u" \
  "$tolvi evaluate big.log.1 big.log.2 --report p"
cmp u.ma p.ma && echo "  reports identical"
rm -f rss-u rss-p
for i in 1 2 3; do
  /usr/bin/time -f %M "$tolvi" evaluate big.log --report u 2>&1 >/dev/null | tail -1 >> rss-u
  /usr/bin/time -f %M "$tolvi" evaluate big.log.1 big.log.2 --report p 2>&1 >/dev/null | tail -1 >> rss-p
done
echo "  peak memory (KiB): unsplit $(stats < rss-u); parts $(stats < rss-p)"
echo "  log sizes    $(stat -c %s big.log big.log.1 big.log.2 | tr '\n' ' ')bytes"
rm -f rss-u rss-p
fi

if [ "$only" = 0 ] || [ "$only" = 3 ]; then
echo "== 3. command file writer, CPU time (user + sys) against cp of the file"
# Both write a new file (replacing one would add the freeing of the old
# file's pages to the writer's time).
: > cpu
for i in $(seq 1 "$runs"); do
  rm -f data.nex.cd
  w=$( { /usr/bin/time -f '%U %S' $construct > /dev/null; } 2>&1 | tail -1 | awk '{ print $1 + $2 }')
  rm -f copy.cd
  c=$( { /usr/bin/time -f '%U %S' cp data.nex.cd copy.cd; } 2>&1 | tail -1 | awk '{ print $1 + $2 }')
  echo "$w $c" >> cpu
done
echo "  writer (s)   $(cut -d' ' -f1 cpu | stats)"
echo "  cp (s)       $(cut -d' ' -f2 cpu | stats)"
echo "  writer/cp    $(awk '$2 > 0 { print $1 / $2 }' cpu | stats)"
echo "  file size    $(stat -c %s data.nex.cd) bytes"
fi
echo "  load average $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine skews the ratios)"
