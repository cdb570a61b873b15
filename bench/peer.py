#!/usr/bin/env python3
"""Peer benchmark: ostrel-wrap against fold, fmt, par and cat on one ~64 MB
mail text made here from a generator of realistic quoted mail; then the
engine's pathological shapes in MB/s and the filter's peak memory on 1 GB.

Usage: bench/peer.py [--size MB] [--rounds N] [--skip-gigabyte]
Needs a native build (build/native/cli/ostrel-wrap) and the par package.
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WRAP = os.path.join(ROOT, "build", "native", "cli", "ostrel-wrap")

WORDS = ("the of and to in is that for it as was with be by on not this are or from at which but "
         "have an they you were their has been if more when will would who so no meeting "
         "tomorrow project thanks regards please attached report schedule invoice figures "
         "quarter customer delivery agreed proposal Grüße Müller über naïve café").split()
NAMES = ["Anna Berger", "Ben Okafor", "Carla Ruiz", "Dmitri Ivanov", "Eva Lindqvist"]


def paragraph(rnd, words):
    return " ".join(rnd.choice(WORDS) for _ in range(words)).capitalize() + "."


def mail(rnd):
    """One mail of a thread: text, a signature, and earlier mails quoted below."""
    end = rnd.choice(["\r\n", "\n"])
    out = [f"Hi {rnd.choice(NAMES).split()[0]},", ""]
    for _ in range(rnd.randint(1, 4)):
        out.append(paragraph(rnd, rnd.randint(8, 160)))  # a paragraph as a single line
        if rnd.random() < 0.3:
            out.append("https://intranet.example.com/projects/" +
                       "/".join(rnd.choice(WORDS) for _ in range(rnd.randint(2, 12))) +
                       f"?id={rnd.randint(1, 10**9)}&view=full")
        out.append("")
    out += ["Best regards", rnd.choice(NAMES), "-- ", "Example Ltd. | +49 30 1234567", ""]
    for depth in range(1, rnd.randint(1, 4)):
        prefix = rnd.choice([">" * depth + " ", "> " * depth])
        out.append(f"{prefix}On Monday, {rnd.choice(NAMES)} wrote:")
        for _ in range(rnd.randint(1, 3)):
            out.append(prefix + paragraph(rnd, rnd.randint(5, 120)))
            out.append(prefix.rstrip())
    return end.join(out) + end


def make_mail_file(path, size):
    rnd = random.Random(2026)
    written = 0
    with open(path, "w", encoding="utf-8", newline="") as f:
        while written < size:
            m = mail(rnd)
            f.write(m)
            written += len(m.encode("utf-8"))


def timed(command, src):
    """Wall time of `command` reading `src`, its output drained through a pipe."""
    with open(src, "rb") as stdin:
        start = time.perf_counter()
        p = subprocess.Popen(command, stdin=stdin, stdout=subprocess.PIPE)
        while p.stdout.read(1 << 20):
            pass
        p.wait()
        return time.perf_counter() - start


def peak_rss_kb(command, src):
    """The peak resident memory of `command` alone (getrusage would report the
    largest of all children so far: fmt's and par's)."""
    with open(src, "rb") as stdin, open(os.devnull, "wb") as out:
        result = subprocess.run(["/usr/bin/time", "-f", "%M", *command], stdin=stdin, stdout=out,
                                stderr=subprocess.PIPE, text=True, check=True)
        return int(result.stderr.split()[-1])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--size", type=int, default=64)
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--skip-gigabyte", action="store_true")
    args = ap.parse_args()
    if not os.path.exists(WRAP):
        sys.exit("build first: cmake --preset native && cmake --build --preset native")
    work = tempfile.mkdtemp(prefix="ostrel-peer-")
    src = os.path.join(work, "mail.txt")
    make_mail_file(src, args.size << 20)
    print(f"mail text: {os.path.getsize(src) / 2**20:.1f} MB, {args.rounds} rounds")

    tools = {"ostrel-wrap": [WRAP], "fold -s -w 70": ["fold", "-s", "-w", "70"],
             "fmt -s -w 70": ["fmt", "-s", "-w", "70"], "par 70": ["par", "70"], "cat": ["cat"]}
    times = {name: [] for name in tools}
    for r in range(args.rounds):
        # Alternating, each round in another order, so that no tool is favoured.
        names = list(tools)
        names = names[r % len(names):] + names[:r % len(names)]
        for name in names:
            times[name].append(timed(tools[name], src))
    medians = {name: statistics.median(t) for name, t in times.items()}
    mine = medians["ostrel-wrap"]
    print(f"{'tool':16} {'median s':>9} {'MB/s':>8} {'ostrel-wrap / tool':>19}")
    for name, t in medians.items():
        mbs = os.path.getsize(src) / 2**20 / t
        print(f"{name:16} {t:9.3f} {mbs:8.0f} {mine / t:19.2f}")
    print(f"goals: ostrel-wrap at most 0.5 x fold -s ({mine / medians['fold -s -w 70']:.2f}), "
          f"at most 3 x cat ({mine / medians['cat']:.2f})")

    print("\npathological shapes, 8 MiB each, through ostrel-wrap:")
    shapes = {"one line of words": "word " * ((8 << 20) // 5), "one run without a space": "x" * (8 << 20),
              "quote characters only": "> " * (4 << 20),
              "prefix longer than 998": ">" * 2000 + "word " * ((8 << 20) // 5),
              "millions of CRs": "\r" * (8 << 20)}
    for name, text in shapes.items():
        path = os.path.join(work, "shape.txt")
        with open(path, "w", newline="") as f:
            f.write(text)
        t = min(timed([WRAP], path) for _ in range(3))
        print(f"  {name:26} {len(text) / 2**20 / t:8.0f} MB/s")

    if not args.skip_gigabyte:
        big = os.path.join(work, "big.txt")
        with open(src, "rb") as f:
            chunk = f.read()
        with open(big, "wb") as f:
            while f.tell() < 1 << 30:
                f.write(chunk)
        print(f"\npeak memory on {os.path.getsize(big) / 2**30:.2f} GB: "
              f"{peak_rss_kb([WRAP], big) / 1024:.1f} MB")
        os.remove(big)
    subprocess.run(["rm", "-rf", work])


if __name__ == "__main__":
    main()
