#!/usr/bin/env bash
# Runs the workflow examples/Snakefile on the bundled example in 3 parts, two
# jobs at a time, with tolvi and tolvi-distances of the build folder, and
# compares its report with the main job's golden report (the same run in one
# piece). Usage: snakemake.sh BUILDDIR
# Exit value: 0 when the reports are equal, 77 when Snakemake is not
# installed, 1 otherwise.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: snakemake.sh BUILDDIR}" && pwd)
command -v snakemake >/dev/null || { echo "snakemake.sh: skipped: Snakemake is not installed (Debian package snakemake)" >&2; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvi-snakemake.XXXXXX")
trap 'rm -rf "$work"' EXIT
for f in primates.chars.nexus primates.grdef MLS Snakefile; do cp "$here/../../examples/$f" "$work/"; done
cd "$work"
if ! PATH=$build:$PATH timeout 300 env -u PAUP snakemake -c 2 --config parts=3 >snakemake.out 2>&1; then
  cat snakemake.out >&2
  echo "snakemake.sh: the workflow failed" >&2
  exit 1
fi
cmp primates.chars.nexus.log.ma "$here/../golden/example_pairwise.ma"
echo "snakemake.sh: the report of the workflow in 3 parts equals the unsplit run's"
