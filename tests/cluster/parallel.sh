#!/usr/bin/env bash
# Runs the bundled example in parts through GNU parallel on this machine,
# with tolvi-distances in the place of PAUP, and checks that the report equals
# the unsplit run's byte for byte (see common.sh).
#
# Usage: parallel.sh -b BUILDDIR [-t SECONDS] [-k]
#   BUILDDIR    where tolvi and tolvi-distances are
#   SECONDS     time limit for each program (default: 60)
#   -k          keep the temporary folder (its name is printed)
# Exit value: 0 when the reports are equal, 77 when GNU parallel is not
# installed, 1 otherwise.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=
limit=60
keep=

usage() { sed -n '/^# Usage:/,/^# installed, 1/p' "$0" | sed 's/^# \{0,1\}//'; }
fail() { echo "parallel.sh: $*" >&2; exit 1; }

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
case $limit in ''|*[!0-9]*) fail "-t wants a number of seconds, not '$limit'" ;; esac
command -v parallel >/dev/null 2>&1 || { echo "parallel.sh: skipped: GNU parallel is not installed (Debian package parallel)" >&2; exit 77; }
command -v timeout >/dev/null || fail "the program timeout (coreutils) is needed"
build=$(cd "$build" 2>/dev/null && pwd) || fail "no build folder $build"

# shellcheck source=tests/cluster/common.sh
. "$here/common.sh"
split_run_check_programs "$build"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolvi-parallel.XXXXXX")
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  local rc=$?
  if [ -n "$keep" ]; then echo "parallel.sh: the temporary folder is kept: $tmp" >&2; else rm -rf "$tmp"; fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# the parts as many at a time as there are cores, with the line construct printed
run_with_parallel() {
  local line
  line=$(printed_line "$1" "parallel ")
  in_run "$1" bash -c "$line"
}

split_run_all "$tmp" run_with_parallel
