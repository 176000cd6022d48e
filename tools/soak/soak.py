#!/usr/bin/env python3
"""Soak run of the main window: random clicks, double clicks, keys, wheel steps and waits through
velmar-harness on a disc, watching for crashes, hangs, error boxes and memory growth.

    soak.py HARNESS DISC [--events N] [--seed S]

Prints a line every 10,000 events (resident memory, error boxes so far) and a summary; exits 1 on a
crash, a hang (no answer to a dump within 60 s), or resident memory growing by more than 5 MB after
the first 10,000 events.
"""
import argparse
import json
import random
import select
import subprocess
import sys
import time

KEYS = ["Enter", "Escape", "Tab", "Up", "Down", "Left", "Right", "Home", "End", "PageUp", "PageDown", "Space", "a"]
# Places worth hitting more often than the rest of the window: tabs, the lists, Next/Prev, the
# transport strip, the links, the Scheme button.
HOT = [(430, 67, 530, 40), (23, 123, 175, 450), (950, 643, 50, 25), (895, 643, 100, 25),
       (20, 590, 180, 80), (28, 677, 167, 40), (221, 676, 123, 40), (180, 123, 17, 433), (23, 556, 174, 17)]


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def random_point(rng):
    if rng.random() < 0.7:
        x, y, w, h = rng.choice(HOT)
        return x + rng.randrange(w), y + rng.randrange(h)
    return rng.randrange(1024), rng.randrange(67, 738)  # not the close or minimise marks


def random_command(rng):
    roll = rng.random()
    x, y = random_point(rng)
    if roll < 0.45:
        return f"click {x} {y}"
    if roll < 0.55:
        return f"dblclick {x} {y}"
    if roll < 0.62:
        return f"move {x} {y}"
    if roll < 0.85:
        return f"key {rng.choice(KEYS)}"
    if roll < 0.92:
        return f"wheel {rng.choice([-3, -1, 1, 3])}"
    return f"wait {rng.choice([1, 5, 20, 60])}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("harness")
    parser.add_argument("disc")
    parser.add_argument("--events", type=int, default=100_000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    proc = subprocess.Popen([args.harness, args.disc], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True, bufsize=1)
    errors = {}
    baseline = None
    peak_growth = 0
    started = time.time()

    def dump():
        proc.stdin.write("dump\n")
        proc.stdin.flush()
        ready, _, _ = select.select([proc.stdout], [], [], 60)
        if not ready:
            raise RuntimeError("hang: no answer to a dump within 60 s")
        line = proc.stdout.readline()
        if not line:
            raise RuntimeError(f"crash: the harness ended (status {proc.wait()}): {proc.stderr.read()[-2000:]}")
        state = json.loads(line)
        for message in state["errors"]:
            errors[message] = errors.get(message, 0) + 1
        return state

    try:
        for event in range(1, args.events + 1):
            proc.stdin.write(random_command(rng) + "\n")
            if event % 500 == 0:
                dump()
            if event % 10_000 == 0:
                rss = rss_kb(proc.pid)
                if event == 10_000:
                    baseline = rss
                growth = rss - baseline if baseline is not None else 0
                peak_growth = max(peak_growth, growth)
                print(f"{event} events, {time.time() - started:.0f} s, resident {rss / 1024:.1f} MB"
                      f" (growth since 10,000: {growth / 1024:.2f} MB), error boxes {sum(errors.values())}",
                      flush=True)
        dump()
        proc.stdin.write("quit\n")
        proc.stdin.close()
        status = proc.wait(timeout=60)
    except Exception as failure:  # a crash or a hang ends the run
        print(f"FAILED: {failure}")
        proc.kill()
        return 1
    print(f"done: {args.events} events in {time.time() - started:.0f} s, exit status {status},"
          f" peak growth after 10,000 events {peak_growth / 1024:.2f} MB")
    for message, count in sorted(errors.items()):
        print(f"  error box x{count}: {message}")
    return 0 if status == 0 and peak_growth <= 5 * 1024 else 1


if __name__ == "__main__":
    sys.exit(main())
