#!/usr/bin/env python3
"""Runs every measurement of docs/performance.md on an already built bench folder and
prints the figures as Markdown. bench/run.sh builds the folder and calls this.

Usage: report.py BENCH_BUILD_DIR [WINDOWS_BUILD_DIR]
"""
import collections
import json
import os
import platform
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PYTHON = "/usr/bin/python3"  # Debian's, which has python3-serial

SCENARIOS = ["identify", "set_active", "activate", "read_plain_long", "read_array_double",
             "write_plain_word_byte_retry", "write_array_long"]
# Goal of each scenario: the ratio to the floor it must stay within, or a driver-instruction cap.
RATIO_GOAL = {"activate": 1.3, "read_plain_long": 1.3, "write_plain_word_byte_retry": 1.3,
              "read_array_double": 2.0, "write_array_long": 2.0}
INSTRUCTION_GOAL = {"identify": 20, "set_active": 20}
CALLGRIND_ITERATIONS = 20000
STRACE_CYCLES = (100, 300)


def run(command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    load = open("/proc/loadavg").read().split()[:3]
    print("## Machine\n")
    print("- CPU: %s, nproc %s" % (model, os.cpu_count()))
    print("- kernel %s, %s" % (platform.release(), run(["gcc", "--version"]).splitlines()[0]))
    print("- load average at the start: %s" % " ".join(load))
    print()


def gate_times(bin_dir):
    out = os.path.join(bin_dir, "gate_bench.json")
    run([os.path.join(bin_dir, "qorbvn_gate_bench"), "--benchmark_repetitions=9",
         "--benchmark_enable_random_interleaving=true",
         "--benchmark_report_aggregates_only=true", "--benchmark_min_time=0.2",
         "--benchmark_out_format=json", "--benchmark_out=" + out])
    times = {}
    for entry in json.load(open(out))["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            times[entry["run_name"]] = (entry["real_time"], entry["cpu_time"])
    return times


def gate_instructions(bin_dir):
    counts = {}
    with tempfile.TemporaryDirectory() as work:
        for scenario in SCENARIOS:
            for side in ("driver", "floor"):
                profile = os.path.join(work, "%s.%s" % (scenario, side))
                run(["valgrind", "--tool=callgrind", "--collect-atstart=no", "--callgrind-out-file=" + profile,
                     os.path.join(bin_dir, "qorbvn_gate_instructions"), scenario, side, str(CALLGRIND_ITERATIONS)])
                if not os.path.exists(profile):
                    continue
                line = run([sys.executable, os.path.join(HERE, "callgrind_split.py"), profile,
                            str(CALLGRIND_ITERATIONS)]).split()
                if float(line[0]) > 0:
                    counts[(scenario, side)] = (float(line[0]), float(line[1]))
    return counts


def gate_report(bin_dir):
    times = gate_times(bin_dir)
    counts = gate_instructions(bin_dir)
    print("## Gate path\n")
    print("Wall-clock ns per request: median of 9 repetitions, interleaved at random (Google")
    print("Benchmark). Instructions per request under callgrind (%d requests after a warm-up): all" % CALLGRIND_ITERATIONS)
    print("of them (the simulated library's included), and those executed in the driver library.")
    print()
    print("| request | driver ns | floor ns | time ratio | instructions | floor instructions | instruction ratio | driver's own instructions | goal | met by time | met by instructions |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    for scenario in SCENARIOS:
        driver_ns = times.get("driver/" + scenario, (0, 0))[0]
        floor_ns = times.get("floor/" + scenario, (0, 0))[0]
        driver_ir, own_ir = counts.get((scenario, "driver"), (0, 0))
        floor_ir = counts.get((scenario, "floor"), (0, 0))[0]
        if scenario in RATIO_GOAL:
            goal = "<= %.1fx floor" % RATIO_GOAL[scenario]
            time_ratio = driver_ns / floor_ns
            ir_ratio = driver_ir / floor_ir
            print("| %s | %.1f | %.1f | %.2f | %.0f | %.0f | %.3f | %.0f | %s | %s | %s |" % (
                scenario, driver_ns, floor_ns, time_ratio, driver_ir, floor_ir, ir_ratio, own_ir, goal,
                "yes" if time_ratio <= RATIO_GOAL[scenario] else "no",
                "yes" if ir_ratio <= RATIO_GOAL[scenario] else "no"))
        else:
            goal = "< %d driver instructions" % INSTRUCTION_GOAL[scenario]
            met = "yes" if own_ir < INSTRUCTION_GOAL[scenario] else "no"
            print("| %s | %.1f | none | | %.0f | 0 | | %.0f | %s | | %s |" % (
                scenario, driver_ns, driver_ir, own_ir, goal, met))
    print()


def straight_path(objdump, dll, symbol):
    """Instructions from a function's entry to its first return or jump through a register:
    the path a request takes when no branch is taken."""
    listing = run([objdump, "-d", "--no-show-raw-insn", dll])
    count = 0
    inside = False
    for line in listing.splitlines():
        if re.match(r"^[0-9a-f]+ <%s>:$" % re.escape(symbol), line):
            inside = True
            continue
        if not inside:
            continue
        fields = line.split("\t")
        if len(fields) < 2:
            if count:
                break
            continue
        count += 1
        instruction = fields[1].strip()
        if instruction.startswith("ret") or re.match(r"^jmp\s+\*", instruction):
            return count
    return count


def windows_report(dll):
    objdump = "i686-w64-mingw32-objdump"
    print("### Identify and set active in the Windows DLL\n")
    print("The product is the Windows DLL, which has no GOT-pointer set-up (i386 position-independent")
    print("code on Linux spends 4 instructions per function on it). Its straight path, counted from")
    print("the disassembly of %s (no branch is taken on either path):" % os.path.relpath(dll, ROOT))
    print()
    entry = straight_path(objdump, dll, "_QorMain@4")
    print("| request | QorMain | handler | total | goal | met |")
    print("|---|---|---|---|---|---|")
    for label, symbol in (("identify", "__Z14IdentifyDriverP13DriverRequest"),
                          ("set_active", "__Z16SetChannelActiveP13DriverRequest")):
        handler = straight_path(objdump, dll, symbol)
        if handler == 0:  # a handler in the caller's convention may carry another name
            handler = straight_path(objdump, dll, symbol.replace("__Z", "__Z", 1) + "@4")
        total = entry + handler
        print("| %s | %d | %d | %d | < 20 | %s |" % (label, entry, handler, total, "yes" if total < 20 else "no"))
    print()


def strace_counts(command):
    with tempfile.NamedTemporaryFile(suffix=".strace") as summary:
        subprocess.run(["strace", "-f", "-c", "-o", summary.name] + command, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        counts = collections.Counter()
        for line in open(summary.name):
            fields = line.split()
            if len(fields) >= 5 and re.match(r"^[\d.]+$", fields[0]) and fields[-1] != "total":
                counts[fields[-1]] = int(fields[3])
        return counts


def per_cycle(make_command):
    low, high = STRACE_CYCLES
    first = strace_counts(make_command(low))
    second = strace_counts(make_command(high))
    calls = {name: (second[name] - first[name]) / (high - low) for name in set(first) | set(second)}
    return {name: count for name, count in calls.items() if abs(count) > 0.001}


def serial_report(bin_dir):
    bench = os.path.join(bin_dir, "qorbvn_serial_bench")
    times = {}
    for line in run([bench, "both", "2000", "7"]).splitlines():
        name, value = line.split()[:2]
        times[name] = float(value)
    line = run([PYTHON, os.path.join(HERE, "pyserial_cycle.py"), "2000", "7"], cwd=tempfile.gettempdir())
    times["pyserial"] = float(line.split()[1])
    calls = {
        "driver": per_cycle(lambda n: [bench, "driver", str(n), "1"]),
        "floor": per_cycle(lambda n: [bench, "floor", str(n), "1"]),
        "pyserial": per_cycle(lambda n: [PYTHON, os.path.join(HERE, "pyserial_cycle.py"), str(n), "1"]),
    }
    print("## Serial path\n")
    print("Open + configure (9600 8N1, read time-out, DTR on, RTS off) + close of a pseudo-terminal.")
    print("Microseconds per cycle: median of 7 rounds of 2000 cycles, timed inside each process.")
    print("System calls per cycle: strace -c -f of %d and of %d cycles, differenced." % STRACE_CYCLES)
    print()
    print("| path | us/cycle | x floor | syscalls/cycle | above floor |")
    print("|---|---|---|---|---|")
    floor_calls = sum(calls["floor"].values())
    for name, label in (("driver", "OpenPort/ClosePort (driver)"), ("floor", "hand-written termios (floor)"),
                        ("pyserial", "pyserial 3.5 (Debian)")):
        total = sum(calls[name].values())
        print("| %s | %.2f | %.2f | %.1f | %+.1f |" % (label, times[name], times[name] / times["floor"],
                                                    total, total - floor_calls))
    print()
    names = sorted(set().union(*[set(c) for c in calls.values()]))
    print("| system call | driver | floor | pyserial |")
    print("|---|---|---|---|")
    for name in names:
        print("| %s | %s |" % (name, " | ".join("%.1f" % calls[side].get(name, 0) for side in ("driver", "floor", "pyserial"))))
    print()
    driver_calls = sum(calls["driver"].values())
    met_calls = driver_calls - floor_calls <= 2
    met_time = times["driver"] <= 1.2 * times["floor"]
    print("Goal: at most 2 system calls per cycle above the floor (%s), within 1.2x the floor's time (%s)." % (
        "met" if met_calls else "not met", "met" if met_time else "not met"))
    print()


def stack_report(stack_dir):
    for preset, label in (("linux", "Linux i386 (POSIX serial layer included)"),
                          ("windows", "Windows DLL (MinGW i686; the serial operations are the system's)")):
        print("## Stack: %s\n" % label)
        result = subprocess.run([os.path.join(HERE, "stack_usage.sh"), "%s-%s" % (stack_dir, preset), preset],
                                capture_output=True, text=True)
        print(result.stdout)
        if result.returncode != 0:
            print("(stack_usage.sh failed: %s)\n" % result.stderr.strip())


def main():
    bin_dir = os.path.join(sys.argv[1], "bin")
    machine()
    gate_report(bin_dir)
    if len(sys.argv) > 2:
        windows_report(os.path.join(sys.argv[2], "bin", "QorBVN.dll"))
    serial_report(bin_dir)
    stack_report(sys.argv[1].rstrip('/') + "-stack")


if __name__ == "__main__":
    main()
