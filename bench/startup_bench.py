#!/usr/bin/env python3
"""Whole-process benchmark of a small conversion, where start-up is nearly all the cost: a text
of 40 lines of 60 characters of English prose through vellumox --batch, against the bare line
writer (the floor of the work) and the bare line writer loading the text libraries that the
converter links (the floor of its start-up). Medians of 15 runs, the programs alternated, each
program's output removed before each run (replacing a file costs about 1.4 ms). Prints each
median in milliseconds and its ratio to the bare writer's; the goal is vellumox within 4 times.
Usage: bench/startup_bench.py [RUNS]"""
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
BIN = os.path.join(ROOT, "build", "bin")


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 15
    subprocess.run([os.path.join(ROOT, "scripts", "build"), "vellumox", "bare_line_writer",
                    "text_libraries_floor"], check=True, stdout=subprocess.DEVNULL)
    work = os.path.join(os.environ.get("TMPDIR", "/tmp"), "vellumox-startup-bench")
    os.makedirs(os.path.join(work, "config"), exist_ok=True)
    prose = open(os.path.join(ROOT, "bench", "data", "udhr_prose.txt"), encoding="utf-8").read()
    words = prose.split()
    lines, line = [], ""
    for word in words:
        if len(line) + 1 + len(word) > 60:
            lines.append(line.ljust(60)[:60])
            line = word
        else:
            line = f"{line} {word}" if line else word
        if len(lines) == 40:
            break
    text = os.path.join(work, "forty.txt")
    with open(text, "w", encoding="ascii", errors="replace") as f:
        f.write("\n".join(lines) + "\n")
    out = os.path.join(work, "forty.pdf")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
    programs = {
        "bare line writer": [os.path.join(BIN, "bare_line_writer"), text, out],
        "bare writer + text libraries": [os.path.join(BIN, "text_libraries_floor"), text, out],
        "vellumox --batch": [os.path.join(BIN, "vellumox"), "--batch", "--no-save", "-o", out,
                             text],
    }
    times = {name: [] for name in programs}
    for _ in range(runs):
        for name, argv in programs.items():
            if os.path.exists(out):
                os.remove(out)
            start = time.perf_counter_ns()
            pid = os.posix_spawn(argv[0], argv, env, file_actions=[
                (os.POSIX_SPAWN_OPEN, 2, "/dev/null", os.O_WRONLY, 0)])
            _, status = os.waitpid(pid, 0)
            elapsed = time.perf_counter_ns() - start
            if os.waitstatus_to_exitcode(status) != 0:
                sys.exit(f"{name} failed")
            times[name].append(elapsed / 1e6)
    floor = statistics.median(times["bare line writer"])
    for name, values in times.items():
        median = statistics.median(values)
        print(f"{name:30} {median:7.2f} ms   {median / floor:5.2f} x the bare writer")


if __name__ == "__main__":
    main()
