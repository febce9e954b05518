#!/bin/bash
# The README's Slurm job array, run as written on a one-node cluster that
# this script starts (munged, slurmctld, slurmd, a slurm.conf of its own in a
# temporary folder) and stops again by the daemons' pid files.
#
#   slurm_array.sh BUILD_DIR SOURCE_DIR
#
# Exit status: 0 the parts put together equal the unsharded study byte for
# byte; 77 skipped (not root, Slurm or munge not installed, or the daemons
# cannot start here), with the reason on standard output; 1 a failure.
set -u
BIN=$(cd "$1" && pwd)
SRC=$(cd "$2" && pwd)
DEADLINE=$((SECONDS + 240))  # well inside the test's own timeout

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}

[ "$(id -u)" = 0 ] || skip "the one-node Slurm cluster needs root (munged runs as user munge, slurmd as root)"
for tool in munged munge unmunge slurmctld slurmd sbatch squeue sinfo scancel; do
    command -v "$tool" > /dev/null || PATH=$PATH:/usr/sbin:/sbin
    command -v "$tool" > /dev/null || skip "$tool is not installed (Debian packages slurm-wlm and munge)"
done
id munge > /dev/null 2>&1 || skip "there is no user munge (Debian package munge)"
[ -x "$BIN/pillarix-study" ] || fail "no $BIN/pillarix-study"

DIR=$(mktemp -d /tmp/pillarix-slurm-XXXXXX)
chmod 755 "$DIR"
JOB=

# Stops what this script started, by pid file only, then removes the folder.
cleanup() {
    if [ -n "$JOB" ] && [ -s "$DIR/slurmctld.pid" ]; then
        scancel "$JOB" > /dev/null 2>&1
    fi
    local f pid pids=()
    for f in "$DIR/slurmd.pid" "$DIR/slurmctld.pid" "$DIR/munge/munged.pid"; do
        [ -s "$f" ] || continue
        pid=$(cat "$f")
        kill "$pid" 2> /dev/null && pids+=("$pid")
    done
    for _ in $(seq 50); do
        local alive=0
        for pid in "${pids[@]}"; do kill -0 "$pid" 2> /dev/null && alive=1; done
        [ $alive = 0 ] && break
        sleep 0.2
    done
    for pid in "${pids[@]}"; do kill -9 "$pid" 2> /dev/null; done
    rm -rf "$DIR"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Waits until a command succeeds, up to `seconds` and the deadline.
waitFor() {
    local seconds=$1
    shift
    local until=$((SECONDS + seconds))
    while ! "$@" > /dev/null 2>&1; do
        [ $SECONDS -ge $until ] || [ $SECONDS -ge $DEADLINE ] && return 1
        sleep 0.5
    done
}

logTail() { tail -n 5 "$1" 2> /dev/null | sed 's/^/    /'; }

# munged as user munge, on a socket of its own.
mkdir "$DIR/munge"
chown munge:munge "$DIR/munge"
chmod 755 "$DIR/munge"  # munged wants its socket folder open to all for execute
SOCKET=$DIR/munge/munge.socket
su -s /bin/sh munge -c "munged --socket=$SOCKET --pid-file=$DIR/munge/munged.pid \
    --log-file=$DIR/munge/munged.log --seed-file=$DIR/munge/munged.seed" \
    || skip "munged cannot start here: $(logTail "$DIR/munge/munged.log")"
waitFor 10 bash -c "munge -n --socket=$SOCKET | unmunge --socket=$SOCKET" \
    || skip "munge does not answer: $(logTail "$DIR/munge/munged.log")"

# A minimal cluster: this machine as controller and only node.
HOST=$(hostname -s)
CPUS=$(nproc)
[ "$CPUS" -ge 2 ] || CPUS=2  # the README's tasks ask for 2
PORT=$((20000 + ($$ % 4000) * 2))
export SLURM_CONF=$DIR/slurm.conf
mkdir "$DIR/state" "$DIR/spool" "$DIR/work"
cat > "$SLURM_CONF" << EOF
ClusterName=pillarix
SlurmctldHost=$HOST(127.0.0.1)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$SOCKET
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SlurmdParameters=config_overrides
ReturnToService=2
MpiDefault=none
SlurmctldPort=$PORT
SlurmdPort=$((PORT + 1))
StateSaveLocation=$DIR/state
SlurmdSpoolDir=$DIR/spool
SlurmctldPidFile=$DIR/slurmctld.pid
SlurmdPidFile=$DIR/slurmd.pid
SlurmctldLogFile=$DIR/slurmctld.log
SlurmdLogFile=$DIR/slurmd.log
NodeName=$HOST NodeAddr=127.0.0.1 CPUs=$CPUS State=UNKNOWN
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -f "$SLURM_CONF" || skip "slurmctld cannot start here: $(logTail "$DIR/slurmctld.log")"
slurmd -f "$SLURM_CONF" || skip "slurmd cannot start here: $(logTail "$DIR/slurmd.log")"
waitFor 30 bash -c 'sinfo -h -o %T | grep -qx idle' \
    || skip "the node does not come up: $(logTail "$DIR/slurmctld.log") $(logTail "$DIR/slurmd.log")"

# A 200-row table of every section type, some rows with forces.
cd "$DIR/work" || fail "no work folder"
printf 'Case,P,Mx,My\n1,-5000,1200,300\n2,-12000,400,900\n' > forces.csv
{
    echo "Name,ComboBox1,Edit1,Edit12,Edit13,Edit33,Forces,Edit54,Edit55,Edit56"
    for i in $(seq 0 199); do
        forces=
        [ $((i % 10)) = 0 ] && forces=forces.csv
        echo "C$i,$((i % 8)),$((1800 + i)),4,4,6,$forces,2,3,4"
    done
} > columns.csv
"$BIN/pillarix-study" columns.csv --threads 1 > whole.csv || fail "the unsharded study failed"

# The README's script and commands, taken from it verbatim.
README=$SRC/README.md
awk '/^    #!\/bin\/bash$/ { on = 1 } on && /^$/ { exit } on { print substr($0, 5) }' "$README" > study.sbatch
SUBMIT=$(grep -m1 '^    sbatch ' "$README" | sed 's/^    //')
CONCAT=$(grep -m1 '^    for i in .*part-' "$README" | sed 's/^    //')
grep -q -- '--array=0-3' study.sbatch || fail "the README's job script was not found: $(cat study.sbatch)"
[ "$SUBMIT" = "sbatch study.sbatch" ] || fail "the README's submit line was not found"
[ -n "$CONCAT" ] || fail "the README's line that puts the parts together was not found"

export PATH=$BIN:$PATH  # the job finds pillarix-study on the PATH it is submitted with
OUT=$(bash -c "$SUBMIT" 2>&1) || fail "sbatch: $OUT"
JOB=$(echo "$OUT" | sed -n 's/^Submitted batch job \([0-9]*\)$/\1/p')
[ -n "$JOB" ] || fail "sbatch said: $OUT"
waitFor $((DEADLINE - SECONDS)) bash -c "[ -z \"\$(squeue -h -j $JOB 2> /dev/null)\" ]" \
    || fail "job array $JOB did not finish in time: $(squeue -j "$JOB" 2>&1) $(logTail "$DIR/slurmctld.log")"
for i in 0 1 2 3; do
    [ -f "part-$i.csv" ] || fail "task $i wrote no part-$i.csv: $(cat slurm-"${JOB}"_"$i".out 2> /dev/null)"
done
bash -c "$CONCAT" || fail "putting the parts together failed"
cmp all.csv whole.csv || fail "the parts put together differ from the unsharded study"
[ "$(wc -l < all.csv)" = 201 ] || fail "all.csv has $(wc -l < all.csv) lines, not 201"
echo "job array $JOB: 4 shards of 200 rows equal the unsharded study"
