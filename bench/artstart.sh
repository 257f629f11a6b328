#!/usr/bin/env bash
# Start-up of kavri-art against figlet, side by side in one run: the median wall time of N
# paired runs (each pair in alternating order, so neither always runs on a warmer
# machine), with one warm-up of each first. Output goes to /dev/null.
set -euo pipefail
build=${1:-build}
runs=${2:-30}
art="$build/tools/kavri-art/kavri-art"
[[ -x "$art" ]] || { echo "artstart.sh: $art is not built"; exit 1; }
command -v figlet >/dev/null || { echo "artstart.sh: figlet is not installed"; exit 1; }
command -v python3 >/dev/null || { echo "artstart.sh: python3 is not installed"; exit 1; }

python3 - "$art" "$runs" <<'PY'
import resource, statistics, subprocess, sys, time

art, runs = sys.argv[1], int(sys.argv[2])
commands = {
    "kavri-art": [art, "-f", "AR PL UMing CN", "-s", "12", "Hello"],
    "figlet": ["figlet", "Hello"],
}

def cpu_ms():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (r.ru_utime + r.ru_stime) * 1000

# Wall time, and the processor time (user + system) the run took, which a busy machine
# disturbs less.
def once(argv):
    cpu = cpu_ms()
    start = time.perf_counter_ns()
    done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = (time.perf_counter_ns() - start) / 1e6
    if done.returncode != 0:
        sys.exit(f"artstart.sh: {argv[0]} failed ({done.returncode}): {done.stderr.decode(errors='replace')}")
    return elapsed, cpu_ms() - cpu

times = {name: [] for name in commands}
cpus = {name: [] for name in commands}
for argv in commands.values():
    once(argv)
for i in range(runs):
    order = list(commands) if i % 2 == 0 else list(reversed(commands))
    for name in order:
        wall, cpu = once(commands[name])
        times[name].append(wall)
        cpus[name].append(cpu)
print(f"{'program':<10} {'median_ms':>10} {'min_ms':>8} {'max_ms':>8} {'cpu_ms':>8}")
for name, values in times.items():
    print(f"{name:<10} {statistics.median(values):>10.2f} {min(values):>8.2f} {max(values):>8.2f} "
          f"{statistics.median(cpus[name]):>8.2f}")
ratio = statistics.median(times["kavri-art"]) / statistics.median(times["figlet"])
print(f"kavri-art / figlet: {ratio:.2f} (median of {runs} paired runs)")
PY
