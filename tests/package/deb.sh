#!/usr/bin/env bash
# The Debian package, as a user gets it: built from a clean copy of the tree
# (without the tests, which have run already), checked by lintian (errors
# fail), installed with dpkg -i; the installed programs alone (no build
# folder on the path) run the main job from the installed examples, whose
# report must equal the golden one; then the package is removed again.
# It changes the machine: CI runs it (.ci/run), CTest does not. It refuses to
# run where a tolvi package is installed already.
# Exit value: 0 passed, 77 not root or the Debian tools are missing, 1 failed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() { echo "deb.sh: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "deb.sh: skipped: dpkg -i needs root" >&2; exit 77; }
for p in dpkg-buildpackage dh lintian git; do
  command -v "$p" >/dev/null || { echo "deb.sh: skipped: $p is not installed (.ci/run installs it)" >&2; exit 77; }
done
case $(dpkg-query -W -f='${db:Status-Status}' tolvi 2>/dev/null) in
  "" | not-installed) ;;
  *) fail "a tolvi package is installed already; this test installs and removes its own: remove it first (dpkg -r tolvi)" ;;
esac

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolvi-deb.XXXXXX")
installed=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  [ -z "$installed" ] || dpkg -r tolvi >/dev/null || echo "deb.sh: dpkg -r tolvi failed" >&2
  rm -rf "$tmp"
}
trap cleanup EXIT

# The files git knows and those it does not ignore, nothing of a build.
mkdir "$tmp/tolvi"
git -C "$top" ls-files -z --cached --others --exclude-standard |
  tar -C "$top" --null -T - --ignore-failed-read -cf - | tar -C "$tmp/tolvi" -xf -
start=$SECONDS
(cd "$tmp/tolvi" && DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -us -uc -b) >"$tmp/build.log" 2>&1 ||
  { tail -n 40 "$tmp/build.log" >&2; fail "dpkg-buildpackage failed"; }
echo "deb.sh: package built in $((SECONDS - start)) s"
deb=$(echo "$tmp"/tolvi_*.deb)
[ -f "$deb" ] || fail "dpkg-buildpackage made no tolvi_*.deb"
lintian --fail-on error "$deb" || fail "lintian reports errors (above)"

installed=1  # dpkg -r also where dpkg -i fails halfway
dpkg -i "$deb" >/dev/null
[ -f /usr/share/man/man1/tolvi.1.gz ] && [ -f /usr/share/man/man1/tolvi-distances.1.gz ] ||
  fail "the package lacks a manual page"
PATH=/usr/sbin:/usr/bin:/sbin:/bin bash /usr/share/doc/tolvi/examples/run-pipeline.sh -b /usr/bin -w "$tmp/run" >"$tmp/run.log" 2>&1 ||
  { cat "$tmp/run.log" >&2; fail "the main job failed with the installed programs"; }
cmp "$tmp/run/primates.chars.nexus.ma" "$top/tests/golden/example_pairwise.ma" ||
  fail "the report of the installed programs differs from tests/golden/example_pairwise.ma"
echo "deb.sh: the installed programs give the golden report"
