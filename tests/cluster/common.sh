# shellcheck shell=bash disable=SC2154  # limit: set by the caller
# The split run of the bundled example, shared by the engine tests
# (parallel.sh, slurm.sh); sourced, not run. The caller sets `limit` (seconds
# for each program) and defines `fail`.
#
#   The example is constructed once unsplit (--parts 1) and run through the
#   tolvi-distances, and once in parts run through an engine with the command line
#   that `tolvi construct` prints for it, PAUP pointing at tolvi-distances; the
#   part logs are evaluated together, given in reverse order. The two reports
#   must be equal byte for byte.

examples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../examples" && pwd)
data=primates.chars.nexus

# The runs, one a line: a name, the number of parts, then the options of
# construct (evaluate gets --ranking when construct has it).
#   pairwise: the example's group file, Jukes-Cantor distances, 100
#     replicates in 3 parts of 34, 33 and 33
#   ranking: the groups typed (tarsier last, the reference), the user tree,
#     p distances, 30 replicates in 7 parts of 5 and 4
split_runs=(
  "pairwise 3 --groups primates.grdef --setting 1 --bootstrap 100"
  "ranking 7 --ranking --group apes=2-6 --group oldworld=7-10 --group newworld=11 --group tarsier=12 --outgroup 1 --usertree --setting 2 --bootstrap 30"
)

# checks that the programs of the build folder $1 are there; sets tolvi, engine
split_run_check_programs() {
  tolvi=$1/tolvi
  engine=$1/tolvi-distances
  local p
  for p in "$tolvi" "$engine"; do
    [ -x "$p" ] || fail "$p is missing (build first: cmake -S . -B build && cmake --build build)"
  done
}

# runs "$@" in the folder $1 under the time limit, its output added to the
# folder's file "transcript"; shows the transcript and fails when it fails
in_run() {
  local dir=$1; shift
  local rc=0
  (cd "$dir" && timeout "$limit" "$@") >>"$dir/transcript" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ]; then
    [ "$rc" -ne 124 ] || echo "not done within $limit s" >>"$dir/transcript"
    sed 's/^/    /' "$dir/transcript" >&2
    fail "in $dir: '$*' ended with the exit value $rc"
  fi
}

# a fresh folder $1 with the example's files
fresh_run_folder() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$examples/$data" "$examples/primates.grdef" "$examples/MLS" "$examples/usertree" "$1/"
}

# the command line for an engine that `tolvi construct` printed in the
# folder $1 (in its file construct.out): the line that begins with $2
printed_line() {
  local line
  while IFS= read -r line; do
    line=${line#"${line%%[![:space:]]*}"}
    case $line in "$2"*) printf '%s\n' "$line"; return 0 ;; esac
  done <"$1/construct.out"
  fail "tolvi construct printed no line beginning with '$2' (its output: $1/construct.out)"
}

# split_run_compare WORK RUNNER NAME PARTS CONSTRUCT-OPTION...:
# RUNNER DIR carries out the parts in DIR
split_run_compare() {
  local work=$1/$3 runner=$2 name=$3 parts=$4
  shift 4
  local whole=$work/unsplit split=$work/split k evaluate=()
  case " $* " in *" --ranking "*) evaluate=(--ranking) ;; esac

  fresh_run_folder "$whole"
  in_run "$whole" "$tolvi" construct "$data" "$@" --parts 1
  in_run "$whole" "$engine" -n "$data.cd"
  in_run "$whole" "$tolvi" evaluate "$data.log" "${evaluate[@]}"
  [ -s "$whole/$data.log.ma" ] || fail "$name: the unsplit run wrote no report $whole/$data.log.ma"

  fresh_run_folder "$split"
  in_run "$split" "$tolvi" construct "$data" "$@" --parts "$parts"
  cp "$split/transcript" "$split/construct.out"
  for ((k = 1; k <= parts; k++)); do
    [ -s "$split/$data.cd.$k" ] || fail "$name: construct wrote no part $split/$data.cd.$k"
  done
  export PAUP=$engine
  "$runner" "$split"
  local logs=()
  for ((k = parts; k >= 1; k--)); do
    [ -s "$split/$data.log.$k" ] || fail "$name: the part $data.cd.$k left no log $split/$data.log.$k"
    logs+=("$data.log.$k")
  done
  in_run "$split" "$tolvi" evaluate "${logs[@]}" "${evaluate[@]}"
  [ -s "$split/$data.log.ma" ] || fail "$name: the split run wrote no report $split/$data.log.ma"

  if ! cmp -s "$whole/$data.log.ma" "$split/$data.log.ma"; then
    diff "$whole/$data.log.ma" "$split/$data.log.ma" >&2 || true
    fail "$name: the report of the run in $parts parts differs from the unsplit run's (above)"
  fi
  echo "$name: the report of the run in $parts parts equals the unsplit run's"
}

# split_run_all WORK RUNNER: every run of split_runs
split_run_all() {
  local run
  for run in "${split_runs[@]}"; do
    # shellcheck disable=SC2086  # the run's words
    split_run_compare "$1" "$2" $run
  done
}
