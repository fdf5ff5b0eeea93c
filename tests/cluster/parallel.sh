#!/usr/bin/env bash
# Runs the bundled example in parts through GNU parallel on this machine (see
# common.sh).
#
# Usage: parallel.sh -b BUILDDIR [-t SECONDS] [-k]
#   BUILDDIR    where tolvi and tolvi-distances are
#   SECONDS     time limit for each program (default: 60)
#   -k          keep the temporary folder (its name is printed)
# Exit value: 0 when the reports are equal, 77 when GNU parallel is not
# installed, 1 otherwise.

set -euo pipefail
# shellcheck source=tests/cluster/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
command -v parallel >/dev/null 2>&1 || skip "GNU parallel is not installed (Debian package parallel)"
start_work

split_run_all "parallel "
