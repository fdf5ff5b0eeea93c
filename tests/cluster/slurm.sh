#!/usr/bin/env bash
# Runs the bundled example in parts as job arrays on a private one-node SLURM
# cluster (see common.sh): munged with a fresh key and a socket of its own,
# slurmctld and slurmd as root (process tracking through /proc, no task
# plugin, no accounting), ports of their own, every address a loopback one.
# It waits until the node is idle, submits the job script that `tolvi
# construct` wrote with `sbatch --wait`, and stops the daemons it started, by
# their process ids, however it ends. Nothing of the machine's own SLURM or
# MUNGE set-up is read or touched.
#
# Usage: slurm.sh -b BUILDDIR [-t SECONDS] [-k]
#   BUILDDIR    where tolvi and tolvi-distances are
#   SECONDS     time limit for each wait (default: 60)
#   -k          keep the temporary folder (its name is printed)
# Exit value: 0 when the reports are equal, 77 when the test cannot run here
# (not root, SLURM or MUNGE not installed, no cgroup file system), 1 otherwise.

set -euo pipefail
# shellcheck source=tests/cluster/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
[ "$(id -u)" -eq 0 ] || skip "the daemons of a private cluster must run as root"
PATH=$PATH:/usr/sbin:/sbin  # where the daemons are
for p in munged slurmctld slurmd slurmstepd sbatch sinfo squeue scontrol scancel; do
  command -v "$p" >/dev/null 2>&1 || skip "$p is not installed (Debian packages slurm-wlm and munge)"
done
mountpoint -q /sys/fs/cgroup || skip "slurmd needs the cgroup file system (/sys/fs/cgroup)"
start_work

ctld_pid='' slurmd_pid='' munged_pid=''
# stops the daemon with the process id $1 (named $2): TERM, KILL after 5 s
stop_daemon() {
  local pid=$1 name=$2 i
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "slurm.sh: $name (process $pid) did not stop within 5 s; killed" >&2
    kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}
# shellcheck disable=SC2317  # called by common.sh's cleanup with the exit value
stop_engine() {
  local rc=$1 i f
  if [ -n "$ctld_pid" ] && [ -n "$slurmd_pid" ]; then
    # Jobs still on the node end first, so that no task outlives the cluster;
    # the daemons and MUNGE must be up for that.
    scancel --quiet --user=root >/dev/null 2>&1
    for ((i = 0; i < 100; i++)); do
      [ -z "$(squeue -h -o %i 2>/dev/null)" ] && break
      sleep 0.1
    done
    [ -z "$(squeue -h -o %i 2>/dev/null)" ] ||
      echo "slurm.sh: jobs of the private cluster did not end within 10 s of their cancellation" >&2
  fi
  stop_daemon "$slurmd_pid" slurmd
  stop_daemon "$ctld_pid" slurmctld
  stop_daemon "$munged_pid" munged
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; then
    for f in munged.stderr slurmctld.log slurmd.log; do
      # a daemon that ended before it opened its log file said why on stderr
      [ -s "$tmp/$f" ] || f=${f%.log}.stderr
      [ -s "$tmp/$f" ] || continue
      echo "---- the last lines of $f:" >&2
      tail -n 12 "$tmp/$f" >&2
    done
  fi
}

# wait_for WHAT PID COMMAND...: waits until the command succeeds, while the
# daemon PID lives, for LIMIT seconds at most
wait_for() {
  local what=$1 pid=$2; shift 2
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || fail "$what: the daemon ended (its log below)"
    [ "$SECONDS" -lt "$deadline" ] || fail "$what: not within $limit s"
    sleep 0.2
  done
}

# A free TCP port on the loopback address $addr: nobody answers there.
taken_ports=" "
free_port() {
  local port i
  for ((i = 0; i < 200; i++)); do
    port=$((20000 + RANDOM % 30000))
    case $taken_ports in *" $port "*) continue ;; esac
    if ! (exec 3<>"/dev/tcp/$addr/$port") 2>/dev/null; then
      taken_ports="$taken_ports$port "
      echo "$port"
      return 0
    fi
  done
  fail "no free port found on $addr"
}

# ---- MUNGE: a fresh key, a socket of its own
mkdir -m 711 "$tmp/munge"
dd if=/dev/urandom of="$tmp/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$tmp/munge/munge.key"
socket=$tmp/munge/munge.socket
munged --foreground --force --socket="$socket" --key-file="$tmp/munge/munge.key" \
  --pid-file="$tmp/munge/munged.pid" --seed-file="$tmp/munge/munged.seed" \
  --log-file="$tmp/munged.log" --origin=127.0.0.1 --num-threads=2 \
  </dev/null >"$tmp/munged.stderr" 2>&1 &
munged_pid=$!
wait_for "munged did not open its socket $socket" "$munged_pid" test -S "$socket"

# ---- SLURM: one controller and one node on a loopback address
host=$(hostname -s 2>/dev/null || hostname)
[ -n "$host" ] || fail "this machine has no host name"
# The daemons are addressed at one loopback address: that of the machine's
# name where it resolves to one (a Debian installation's /etc/hosts gives
# 127.0.1.1), and they listen there alone (told to keep to one address, they
# bind to the address of that name); elsewhere at 127.0.0.1, listening on
# every address, so that the name need not resolve.
addr=
read -r addr _ < <(getent ahostsv4 "$host" 2>/dev/null) || true
case $addr in
  127.*) bind_one_address=CommunicationParameters=NoCtldInAddrAny,NoInAddrAny ;;
  *) addr=127.0.0.1 bind_one_address= ;;
esac
cluster_name=tolvitest
node=$host
cpus=$(nproc)
ctld_port=$(free_port)
slurmd_port=$(free_port)
mkdir -m 700 "$tmp/state" "$tmp/spool"
export SLURM_CONF=$tmp/slurm.conf
cat >"$SLURM_CONF" <<EOF
ClusterName=$cluster_name
SlurmctldHost=$host($addr)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SwitchType=switch/none
$bind_one_address
SchedulerType=sched/builtin
SchedulerParameters=batch_sched_delay=0
MailProg=/bin/true
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
MinJobAge=5
InactiveLimit=0
KillWait=2
SlurmctldTimeout=30
SlurmdTimeout=30
NodeName=$node NodeAddr=$addr CPUs=$cpus State=UNKNOWN
PartitionName=tolvi Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
# Nothing of the machine's own configuration may creep in.
touch "$tmp/plugstack.conf"
echo "PlugStackConfig=$tmp/plugstack.conf" >>"$SLURM_CONF"

slurmctld -D -c -f "$SLURM_CONF" </dev/null >"$tmp/slurmctld.stderr" 2>&1 &
ctld_pid=$!
wait_for "slurmctld did not answer on $addr:$ctld_port" "$ctld_pid" scontrol ping

slurmd -D -N "$node" -f "$SLURM_CONF" </dev/null >"$tmp/slurmd.stderr" 2>&1 &
slurmd_pid=$!
node_idle() { [ "$(sinfo -h -n "$node" -o %T 2>/dev/null)" = idle ]; }
wait_for "the node $node did not become idle" "$slurmd_pid" node_idle
echo "slurm.sh: cluster up in $tmp ($addr, controller port $ctld_port, node port $slurmd_port, $cpus CPUs)"

split_run_all "sbatch "
