#!/usr/bin/env python3
"""Budgets of the Windows program, measured under Wine and printed (not tests):
- ostrel.exe under 320 KiB;
- start-up to the window shown, against a minimal Win32 window program: at most 1.5 x;
- activation to the status shown for a 1 MB and a 4 MB mail, against loading the same
  text into a bare rich-edit control: at most 1.2 x; with the engine's own share.

Usage: bench/budgets.py [--rounds N]   (after cmake --build --preset windows)
"""
import argparse
import os
import statistics
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
BUILD = os.path.join(ROOT, "build", "windows")
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))


def time_activation(w, status):
    """Milliseconds from switching to Ostrel until its status reads `status`."""
    timer = subprocess.Popen(["wine", w.PROBE, "time-status", "Ostrel 1.00", status], env=w.ENV,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True)
    assert timer.stdout.readline().strip() == "ready"
    w.xdotool("windowactivate", w.ostrel_window())
    value = float(timer.stdout.readline())
    timer.wait(timeout=60)
    return value


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rounds", type=int, default=5)
    args = ap.parse_args()
    exe = os.path.join(BUILD, "ostrel.exe")
    size = os.path.getsize(exe)
    print(f"ostrel.exe: {size / 1024:.0f} KiB (budget 320 KiB): {'ok' if size < 320 * 1024 else 'OVER'}")

    state = os.path.join(BUILD, "budget-state")
    env_script = os.path.join(ROOT, "tests", "wine", "wine-env.sh")
    subprocess.run([env_script, "setup", state], check=True, stdout=subprocess.DEVNULL)
    os.environ.update(OSTREL_WINE_STATE=state, OSTREL_EXE=exe, OSTREL_ARTIFACTS=BUILD,
                      OSTREL_PROBE=os.path.join(BUILD, "tests", "probe.exe"))
    try:
        import ostrel_wine as w

        def ms(*probe_args):
            return float(w.probe(*probe_args).stdout.split()[0])

        minimal = os.path.join(BUILD, "bench", "minimal_window.exe")
        starts = {"ostrel": [], "minimal": []}
        ms("time-start", w.windows_path(minimal), "Minimal window")  # warm Wine up
        for _ in range(args.rounds):
            starts["ostrel"].append(ms("time-start", w.windows_path(exe), "Ostrel 1.00"))
            starts["minimal"].append(ms("time-start", w.windows_path(minimal), "Minimal window"))
        o, m = statistics.median(starts["ostrel"]), statistics.median(starts["minimal"])
        print(f"start-up to window shown: ostrel {o:.0f} ms, minimal window {m:.0f} ms, "
              f"ratio {o / m:.2f} (budget 1.5)")

        paragraph = "> " + " ".join(f"word{i}" for i in range(60)) + "\r\n"
        process = w.start()
        for megabytes in (1, 4):
            text = paragraph * ((megabytes << 20) // len(paragraph))
            path = os.path.join(w.WORK, "text.bin")
            with open(path, "wb") as f:
                f.write(text.encode("utf-16-le"))
            shown, bare, engine = [], [], []
            for _ in range(max(1, args.rounds // 2)):
                w.switch_away()
                w.clipboard_set("")  # a state to come from: nothing to wrap
                w.activate_ostrel()
                w.switch_away()
                w.clipboard_set(text)
                shown.append(time_activation(w, "Click at this button:"))
                out = w.probe_exe(os.path.join(BUILD, "bench", "richedit_load.exe"),
                                  w.windows_path(path))
                values = dict(line.split() for line in out.splitlines())
                bare.append(float(values["load"]))
                engine.append(float(values["engine"]))
            s, b, e = statistics.median(shown), statistics.median(bare), statistics.median(engine)
            print(f"{megabytes} MB mail: activation to status {s:.0f} ms, bare rich edit {b:.0f} ms, "
                  f"ratio {s / b:.2f} (budget 1.2); engine {e:.0f} ms ({100 * e / s:.1f} %)")
        w.click(w.report(), 11)
        w.finish(process, timeout=120)
    finally:
        subprocess.run([env_script, "cleanup", state], check=False)


if __name__ == "__main__":
    main()
