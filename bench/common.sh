# shellcheck shell=bash
# What the benchmark scripts share; sourced by them, not run.

# The newcomer's case: data.nex, 60 taxa x 3000 columns (bench/genlog, at
# $genlog), and data.grdef, 10 groups of 6 taxa; made once in the current
# folder.
newcomers_case() {
  # shellcheck disable=SC2154  # genlog: set by the script that sources this file
  [ -s data.nex ] || "$genlog" nexus data.nex --taxa 60 --nchar 3000
  [ -s data.grdef ] && return 0
  { printf '#Tolvi\n\ngroupname\tgrindex\nbeginmatrix\n\n'
    for g in $(seq 0 9); do printf 'group%d\t%d\n' "$g" "$g"; done
    printf 'endmatrix\n\nbegintaxa\n'
    for t in $(seq 1 60); do printf 'taxon_%d\t%d\n' "$t" $(( (t - 1) / 6 + 1 )); done
    printf 'endtaxa\n'; } > data.grdef
}

# Seconds of one run of a shell command, its output thrown away.
seconds() {
  local start end
  start=$(date +%s%N)
  sh -c "$1" > /dev/null 2>&1
  end=$(date +%s%N)
  awk -v n=$(( end - start )) 'BEGIN { printf "%.3f\n", n / 1e9 }'
}

# Median, minimum and maximum of the numbers on standard input.
stats() {
  sort -g | awk '{ x[NR] = $1 } END { m = (NR % 2) ? x[(NR + 1) / 2] : (x[NR / 2] + x[NR / 2 + 1]) / 2
                                      printf "median %.3f  min %.3f  max %.3f", m, x[1], x[NR] }'
}
