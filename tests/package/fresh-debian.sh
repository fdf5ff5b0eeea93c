#!/usr/bin/env bash
# The README's two commands, exactly as the README writes them, on a fresh
# Debian 12: a minimal system made with mmdebstrap (apt and the essential
# packages), /etc/hosts as an installation writes it, /proc, /sys and /dev
# mounted into it, the tree copied in. The first command must show the main
# job's golden report, the second must pass every test. Everything is
# unmounted and removed on any exit. CI runs it (.ci/run), CTest does not:
# the second command would run it again.
# Exit value: 0 passed, 77 not root, no mmdebstrap or no network, 1 failed.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() { echo "fresh-debian.sh: $*" >&2; exit 1; }
skip() { echo "fresh-debian.sh: skipped: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "mmdebstrap, mount and chroot need root"
command -v mmdebstrap >/dev/null || skip "mmdebstrap is not installed (.ci/run installs it)"
timeout 10 bash -c 'exec 3<>/dev/tcp/deb.debian.org/80' 2>/dev/null || skip "the Debian mirror cannot be reached"

# The commands: the README's lines '    scripts/install-deps run ...' and '... test ...'.
first=$(sed -n 's|^    \(scripts/install-deps run .*\)|\1|p' "$top/README.md" | head -n 1)
second=$(sed -n 's|^    \(scripts/install-deps test .*\)|\1|p' "$top/README.md" | head -n 1)
[ -n "$first" ] && [ -n "$second" ] || fail "the README's two commands were not found"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolvi-fresh.XXXXXX")
root=$tmp/root
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  local rc=$? p
  set +e
  for p in /proc/[0-9]*; do  # processes left inside the new system
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -KILL "${p#/proc/}" 2>/dev/null
  done
  for d in dev sys proc; do mountpoint -q "$root/$d" && umount -R "$root/$d"; done
  rm -rf --one-file-system "$tmp"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start=$SECONDS
mmdebstrap --quiet --variant=apt bookworm "$root" || fail "mmdebstrap failed"
printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost ip6-loopback\n' "$(hostname)" >"$root/etc/hosts"
# no service of the packages starts here (the SLURM test starts its own daemons)
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
mount -t proc proc "$root/proc"
for d in dev sys; do mount --rbind "/$d" "$root/$d" && mount --make-rslave "$root/$d"; done
mkdir "$root/root/tolvi"
git -C "$top" ls-files -z --cached --others --exclude-standard |
  tar -C "$top" --null -T - --ignore-failed-read -cf - | tar -C "$root/root/tolvi" -xf -
echo "fresh-debian.sh: Debian 12 made in $((SECONDS - start)) s"

# runs the command $2 in the tree inside, its output in $tmp/$1.log
inside() {
  local start=$SECONDS
  if ! chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
         bash -c "cd /root/tolvi && $2" </dev/null >"$tmp/$1.log" 2>&1; then
    tail -n 60 "$tmp/$1.log" >&2
    fail "the README's $1 command failed in the new system: $2"
  fi
  echo "fresh-debian.sh: the README's $1 command ran in $((SECONDS - start)) s"
}
inside first "$first"
cmp "$root/root/tolvi/build/example/primates.chars.nexus.ma" "$top/tests/golden/example_pairwise.ma" ||
  fail "the main job's report differs from tests/golden/example_pairwise.ma"
inside second "$second"
grep -E '^(100% tests passed|The following tests did not run)|Not Run|Skipped' "$tmp/second.log" || true
echo "fresh-debian.sh: passed"
