# shellcheck shell=bash
# What the engine tests (parallel.sh, slurm.sh) share; sourced by them, not
# run. It reads their options (their head comment holds the usage, from
# "# Usage:" to its first line without "#").
#
#   The bundled example is constructed in parts, the parts are carried out by
#   the engine with the command line that `tolvi construct` printed for it,
#   PAUP pointing at tolvi-distances, and the part logs are evaluated
#   together, given in reverse order. The report must equal, byte for byte,
#   the main job's golden report of the same run in one piece.

me=$(basename "$0")
examples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../examples" && pwd)
golden=$(cd "$(dirname "${BASH_SOURCE[0]}")/../golden" && pwd)
data=primates.chars.nexus

# The runs, one a line: the name of the golden report (tests/golden/example_NAME.ma,
# the run of examples/NAME.answers), the number of parts, then the options of
# construct that ask for that run (evaluate gets --ranking when construct has it):
#   pairwise: 100 replicates in 3 parts of 34, 33 and 33
#   ranking: 100 replicates in 7 parts of 15 and 14
split_runs=(
  "pairwise 3 --groups primates.grdef --setting 1 --bootstrap 100"
  "ranking 7 --ranking --group apes=2-6 --group oldworld=7-10 --group newworld=11 --group tarsier=12 --outgroup 1 --usertree --setting 2 --bootstrap 100"
)

fail() { echo "$me: $*" >&2; exit 1; }
skip() { echo "$me: skipped: $*" >&2; exit 77; }
usage() { sed -n '/^# Usage:/,/^[^#]/s/^# \{0,1\}//p' "$0"; }

build='' limit=60 keep=''
while getopts b:t:kh opt; do
  case $opt in
    b) build=$OPTARG ;;
    t) limit=$OPTARG ;;
    k) keep=1 ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -ne 0 ] || [ -z "$build" ]; then usage >&2; exit 1; fi
case $limit in '' | *[!0-9]*) fail "-t wants a number of seconds, not '$limit'" ;; esac

# checks the build folder's programs and makes the temporary folder $tmp,
# removed at the end (unless -k) after the caller's stop_engine, if it has one
start_work() {
  command -v timeout >/dev/null || fail "the program timeout (coreutils) is needed"
  build=$(cd "$build" 2>/dev/null && pwd) || fail "no build folder $build"
  tolvi=$build/tolvi
  export PAUP=$build/tolvi-distances
  local p
  for p in "$tolvi" "$PAUP"; do
    [ -x "$p" ] || fail "$p is missing (build first: cmake -S . -B build && cmake --build build)"
  done
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolvi-${me%.sh}.XXXXXX")
  chmod 700 "$tmp"
  trap cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# shellcheck disable=SC2317  # called by the trap
cleanup() {
  local rc=$?
  set +e
  if declare -F stop_engine >/dev/null; then stop_engine "$rc"; fi
  if [ -n "$keep" ]; then echo "$me: the temporary folder is kept: $tmp" >&2; else rm -rf "$tmp"; fi
  exit "$rc"
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

# the command line for the engine that `tolvi construct` printed in the
# folder $1 (in its file construct.out): the line that begins with $2
printed_line() {
  local line
  while IFS= read -r line; do
    line=${line#"${line%%[![:space:]]*}"}
    case $line in "$2"*) printf '%s\n' "$line"; return 0 ;; esac
  done <"$1/construct.out"
  fail "tolvi construct printed no line beginning with '$2' (its output: $1/construct.out)"
}

# split_run ENGINE NAME PARTS CONSTRUCT-OPTION...: the engine carries out the
# parts with the line construct printed for it, the one beginning with ENGINE
split_run() {
  local engine=$1 name=$2 parts=$3 line k logs=() evaluate=()
  shift 3
  local dir=$tmp/$name
  case " $* " in *" --ranking "*) evaluate=(--ranking) ;; esac
  mkdir -p "$dir"
  cp "$examples/$data" "$examples/primates.grdef" "$examples/MLS" "$examples/usertree" "$dir/"
  in_run "$dir" "$tolvi" construct "$data" "$@" --parts "$parts"
  cp "$dir/transcript" "$dir/construct.out"
  line=$(printed_line "$dir" "$engine")
  in_run "$dir" bash -c "$line"
  for ((k = parts; k >= 1; k--)); do
    [ -s "$dir/$data.log.$k" ] || fail "$name: the part $data.cd.$k left no log $dir/$data.log.$k"
    logs+=("$data.log.$k")
  done
  in_run "$dir" "$tolvi" evaluate "${logs[@]}" "${evaluate[@]}"
  if ! cmp -s "$golden/example_$name.ma" "$dir/$data.log.ma"; then
    diff "$golden/example_$name.ma" "$dir/$data.log.ma" >&2 || true
    fail "$name: the report of the run in $parts parts differs from the golden one (above)"
  fi
  echo "$me: $name: the report of the run in $parts parts equals the golden one"
}

# every run of split_runs, through the ENGINE $1
split_run_all() {
  local run
  for run in "${split_runs[@]}"; do
    # shellcheck disable=SC2086  # the run's words
    split_run "$1" $run
  done
}
