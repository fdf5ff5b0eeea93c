#!/usr/bin/env bash
# Runs Tolvi's construct-first road on the example with no typing, with
# tolvi-distances in the place of PAUP:
#
#   Tolvi reads the answers of an answer file up to the hand-off and writes
#   the command file; tolvi-distances carries the command file out and writes
#   the log; only then does Tolvi get the last answer, the path of the log,
#   and evaluates it. The report is shown as Tolvi shows it.
#
# Tolvi runs with its standard input and output on two pipes. The script
# waits for the hand-off text on Tolvi's output ("Hand the file X.cd over to
# PAUP ..." and the line after it): Tolvi writes it only once the command
# file is complete and closed, and then waits for the log path. No run can
# hang: Tolvi and tolvi-distances run under a time limit, and when Tolvi ends
# early its output ends and the script stops with a message. An answer file
# cut short stops the script at once as well: when Tolvi falls silent before
# the hand-off, the script looks whether it waits on its input (Linux's
# /proc tells), which then holds no further answer.
#
# Usage: run-pipeline.sh [-b BUILDDIR] [-w WORKDIR] [-t SECONDS] [ANSWERFILE]
#   BUILDDIR    where tolvi and tolvi-distances are (default: build/ beside
#               examples/; /usr/bin for the installed programs)
#   WORKDIR     where the run takes place; the example's files are copied
#               there (default: BUILDDIR/example, or tolvi-example in the
#               current folder where BUILDDIR is no build folder)
#   SECONDS     time limit for each program (default: 120)
#   ANSWERFILE  the answers, one per line, the last one the log path
#               (default: pairwise.answers; a name without a slash is taken
#               from this folder)
# Exit value: Tolvi's (0 after a complete run), or 1 when the pipeline could
# not be run.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$here/../build
work=
limit=120

usage() { sed -n '/^# Usage:/,/^# not be run/p' "$0" | sed 's/^# \{0,1\}//'; }
fail() { echo "run-pipeline: $*" >&2; exit 1; }

while getopts b:w:t:h opt; do
  case $opt in
    b) build=$OPTARG ;;
    w) work=$OPTARG ;;
    t) limit=$OPTARG ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -le 1 ] || { usage >&2; exit 1; }
answers=${1:-pairwise.answers}
case $answers in */*) ;; *) answers=$here/$answers ;; esac
[ -r "$answers" ] || fail "cannot read the answer file $answers"
answers=$(cd "$(dirname "$answers")" && pwd)/$(basename "$answers")

build=$(cd "$build" 2>/dev/null && pwd) || fail "no build folder $build (build first: cmake -S . -B build && cmake --build build --target tolvi tolvi-distances)"
tolvi=$build/tolvi
engine=$build/tolvi-distances
for p in "$tolvi" "$engine"; do
  [ -x "$p" ] || fail "$p is missing (build first: cmake -S . -B build && cmake --build build --target tolvi tolvi-distances)"
done
command -v timeout >/dev/null || fail "the program timeout (coreutils) is needed"

# The answers: all but the last go in before the hand-off, the last (the
# path of the log) after tolvi-distances has written the log.
mapfile -t lines <"$answers"
while [ ${#lines[@]} -gt 0 ] && [ -z "${lines[-1]//[[:space:]]/}" ]; do unset 'lines[-1]'; done
[ ${#lines[@]} -ge 2 ] || fail "$answers holds too few answers"
logpath=${lines[-1]}
unset 'lines[-1]'

[ -f "$build/CMakeCache.txt" ] || work=${work:-$PWD/tolvi-example}  # installed programs
work=${work:-$build/example}
mkdir -p "$work"
if ! [ "$here" -ef "$work" ]; then
  for f in primates.chars.nexus primates.interleaved.nexus primates.fasta primates.grdef MLS usertree; do
    cp "$here/$f" "$work/$f"
  done
fi
cd "$work"
rm -f -- "$logpath"  # a log of an earlier run must not pass for this run's

tmp=$(mktemp -d)
pid=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$tmp/in" "$tmp/out"
timeout "$limit" "$tolvi" <"$tmp/in" >"$tmp/out" &
pid=$!
trap '' PIPE  # a write to a Tolvi that has ended fails instead of killing the script
exec {to}>"$tmp/in" {from}<"$tmp/out"

echo "== tolvi, answers from $(basename "$answers"), in $work"
printf '%s\n' "${lines[@]}" >&"$to" || true

# Whether Tolvi (the child of the timeout process) waits in a read of its
# input pipe; false where /proc cannot tell, and the time limit then decides.
waitsforinput() {
  local child='' wchan=''
  # (neither file ends in a line end: read returns false and still sets the name)
  read -r child _ <"/proc/$pid/task/$pid/children" 2>/dev/null || true
  [ -n "$child" ] || return 1
  read -r wchan <"/proc/$child/wchan" 2>/dev/null || true
  case $wchan in *pipe_read* | *pipe_wait*) return 0 ;; *) return 1 ;; esac
}

# Tolvi's output up to the hand-off. A read that times out keeps the part of
# a line it got in `line`; the rest of the line follows in the next read.
cdfile=
handedoff=
cutshort=
line=
partial=
while :; do
  if IFS= read -r -t 0.2 line <&"$from"; then
    line=$partial$line
    partial=
  else
    [ $? -gt 128 ] || { line=$partial$line; break; }  # the end of Tolvi's output
    partial=$partial$line
    line=
    if [ -z "$cutshort" ] && waitsforinput; then
      cutshort=1  # Tolvi flushed its output before the read: take what is left
      continue
    fi
    [ -z "$cutshort" ] || { line=$partial; break; }
    continue
  fi
  printf '%s\n' "$line"
  case $line in
    "Hand the file "*" over to PAUP and execute it!")
      cdfile=${line#Hand the file }
      cdfile=${cdfile% over to PAUP and execute it!} ;;
    "PAUP will write a logfile;"*)
      if [ -n "$cdfile" ]; then handedoff=1; break; fi ;;
  esac
  line=
done
[ -n "$handedoff" ] || [ -z "$line" ] || printf '%s\n' "$line"  # a last line without a line end
if [ -z "$handedoff" ] && [ -n "$cutshort" ]; then
  fail "the answers in $answers end before Tolvi handed over a command file: Tolvi waits for a further answer"
fi

finish() {  # closes Tolvi's input, shows the rest of its output, returns its exit value
  exec {to}>&-
  cat <&"$from"
  exec {from}<&-
  local rc=0
  wait "$pid" || rc=$?
  pid=
  return "$rc"
}

if [ -z "$handedoff" ]; then
  rc=0; finish || rc=$?
  [ "$rc" -eq 124 ] && fail "tolvi did not finish within $limit s (do the answers in $answers fit the dialogue?)"
  fail "tolvi ended (exit value $rc) before it handed over a command file"
fi

echo "== tolvi-distances $cdfile (in the place of PAUP)"
if ! timeout "$limit" "$engine" "$cdfile" {to}>&- {from}<&-; then
  finish >/dev/null || true
  fail "tolvi-distances could not carry out $cdfile"
fi

echo "== tolvi, the log path: $logpath"
printf '%s\n' "$logpath" >&"$to" || true
rc=0; finish || rc=$?
if [ "$rc" -eq 0 ]; then
  echo "== the report file $work/${cdfile%.cd}.ma:"
  cat -- "${cdfile%.cd}.ma"
else
  echo "run-pipeline: tolvi ended with the exit value $rc" >&2
fi
exit "$rc"
