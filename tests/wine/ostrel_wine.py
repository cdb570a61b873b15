"""Driving Ostrel under Wine as a user does, and looking at it as a user's
tools would: shared helpers of the window and workflow tests.

The tests run in the Wine prefix and on the virtual display that wine-env.sh
made for this test run (OSTREL_WINE_STATE); OSTREL_EXE and OSTREL_PROBE name
the program and the probe.
"""
import json
import os
import re
import subprocess
import sys
import tempfile
import time

STATE = os.environ["OSTREL_WINE_STATE"]
EXE = os.environ["OSTREL_EXE"]
PROBE = os.environ["OSTREL_PROBE"]
HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "wine-run.sh")
TITLE = "Ostrel 1.00"
WORK = tempfile.mkdtemp(prefix="ostrel-test-")


def wine_env(extra=None):
    env = dict(os.environ)
    with open(os.path.join(STATE, "env")) as f:
        for line in f:
            m = re.match(r'export (\w+)="?([^"]*)"?$', line.strip())
            if m:
                env[m.group(1)] = m.group(2)
    env.update(extra or {})
    return env


ENV = wine_env()


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def probe(*args, check=True):
    """Runs the probe. Its output goes through files, not pipes: Wine's own
    daemons, when the probe happens to start them, would hold a pipe open."""
    out_path = os.path.join(WORK, "probe.out")
    err_path = os.path.join(WORK, "probe.err")
    with open(out_path, "w") as out, open(err_path, "w") as err:
        code = subprocess.run(["wine", PROBE, *args], env=ENV, stdin=subprocess.DEVNULL,
                              stdout=out, stderr=err, timeout=300).returncode
    with open(out_path) as out, open(err_path) as err:
        result = subprocess.CompletedProcess(args, code, out.read(), err.read())
    if check and code != 0:
        raise AssertionError(f"probe {args} failed ({code}): {result.stderr}")
    return result


RUNNING = []


def start(winver=None, dpi=None, locale=None, args=(), clipboard=None):
    """Starts Ostrel, with `clipboard` or else nothing on the clipboard, and
    waits until its window is on screen."""
    subprocess.run(["pkill", "-x", "xclip"], check=False)
    if clipboard is None:
        probe("clip-empty")
    else:
        clipboard_set(clipboard)
    command = [WINE_RUN]
    if winver:
        command += ["--winver", winver]
    if dpi:
        command += ["--dpi", str(dpi)]
    if locale:
        command += ["--locale", locale]
    command += [EXE, *args]
    process = subprocess.Popen(command, env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    RUNNING.append(process)
    # The X window first: no Wine process of ours may run while wine-run.sh
    # still restarts Wine's session for new settings.
    for _ in range(600):
        if xdotool("search", "--name", TITLE):
            break
        if process.poll() is not None:
            raise AssertionError(f"Ostrel ended at once with {process.returncode}")
        time.sleep(0.1)
    probe("wait", TITLE, "60")
    wait_idle()
    return process


def finish(process, timeout=30):
    """The exit code of Ostrel, once it has ended by itself."""
    code = process.wait(timeout=timeout)
    RUNNING.remove(process)
    return code


def close_leftovers():
    """After a failed test: closes Ostrel as a user would, so that wine-run.sh
    puts the settings back; kills it only when that does not work."""
    for process in list(RUNNING):
        if process.poll() is None:
            ids = xdotool("search", "--name", TITLE).split()
            if ids:
                xdotool("windowactivate", "--sync", ids[0])
                xdotool("key", "--clearmodifiers", "alt+F4")
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                subprocess.run(["pkill", "-f", "ostrel.exe"], check=False)
                process.wait(timeout=20)
        RUNNING.remove(process)


def wait_idle(seconds=0.4):
    time.sleep(seconds)


def report():
    path = os.path.join(WORK, "report.json")
    probe("report", TITLE, windows_path(path))
    with open(path, encoding="ascii") as f:
        return json.load(f)


def control(rep, number):
    """Control `number` of a report (window ids are 100 + number)."""
    for c in rep["controls"]:
        if c["id"] == 100 + number:
            return c
    raise AssertionError(f"control {number} is missing")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], env=ENV, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=30).stdout.strip()


def ostrel_window():
    ids = xdotool("search", "--name", TITLE).split()
    if not ids:
        raise AssertionError("no X window for Ostrel")
    return ids[0]


def click(rep, number):
    """Clicks the middle of control `number`, as a user with a mouse does."""
    x, y, w, h = control(rep, number)["screenRect"]
    xdotool("mousemove", "--sync", str(x + w // 2), str(y + min(h, 20) // 2))
    xdotool("click", "1")
    wait_idle()


def activate_ostrel():
    xdotool("windowactivate", "--sync", ostrel_window())
    wait_idle(0.8)


def key(*keys):
    xdotool("key", "--clearmodifiers", *keys)
    wait_idle()


OTHER = None


def switch_away():
    """Activates another program's window, as Alt+Tab to the mail program would."""
    global OTHER
    if OTHER is None or OTHER.poll() is not None:
        OTHER = subprocess.Popen(["xmessage", "-geometry", "+0+0", "the mail program"], env=ENV,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if xdotool("search", "--name", "xmessage"):
                break
            time.sleep(0.1)
    xdotool("windowactivate", "--sync", xdotool("search", "--name", "xmessage").split()[0])
    wait_idle(0.5)


def screenshot(path, rep=None):
    """Saves the screen (or, with a report, the window) as PNG; returns the path."""
    command = ["import", "-window", "root"]
    if rep:
        x, y, w, h = rep["outer"]
        command += ["-crop", f"{w}x{h}+{x}+{y}"]
    subprocess.run(command + [path], env=ENV, check=True, timeout=60)
    return path


def pixel(path, x, y):
    out = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in m.groups())


def clipboard_set(text, nul=True):
    path = os.path.join(WORK, "clip-in.bin")
    with open(path, "wb") as f:
        f.write(text.encode("utf-16-le", "surrogatepass"))
    probe("clip-set" if nul else "clip-set-nonul", windows_path(path))


def clipboard_get():
    path = os.path.join(WORK, "clip-out.bin")
    result = probe("clip-get", windows_path(path), check=False)
    if result.returncode == 3:
        return None
    assert result.returncode == 0, f"clip-get failed: {result.returncode}"
    with open(path, "rb") as f:
        return f.read().decode("utf-16-le", "surrogatepass")


def run(tests):
    """Runs the test functions named on the command line (or all of them)."""
    names = sys.argv[1:] or list(tests)
    failed = 0
    for name in names:
        print(f"[ RUN  ] {name}", flush=True)
        try:
            tests[name]()
            print(f"[  OK  ] {name}", flush=True)
        except Exception as e:  # report every failure, then go on with the next test
            failed += 1
            print(f"[ FAIL ] {name}: {e!r}", flush=True)
            close_leftovers()
    if OTHER is not None:
        OTHER.kill()
    print(f"{len(names) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


def xclip_set(text):
    """Another X program (the mail program, say) puts `text` on the clipboard."""
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                   env=ENV, check=True, timeout=30, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # Wine takes the news from X in its own time, as a user takes a moment to
    # switch windows: wait until the Windows side sees the text.
    want = text.replace("\r\n", "\n")
    for _ in range(100):
        got = clipboard_get()
        if got is not None and got.replace("\r\n", "\n") == want:
            return
        time.sleep(0.1)
    raise AssertionError("the text from X never reached the Windows clipboard")


def xclip_get():
    """What another X program gets when it pastes."""
    result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=ENV,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    return result.stdout.decode("utf-8")


def rewrapped(text):
    """The engine's answer for `text`, run on the Windows side."""
    src = os.path.join(WORK, "rewrap-in.bin")
    dst = os.path.join(WORK, "rewrap-out.bin")
    with open(src, "wb") as f:
        f.write(text.encode("utf-16-le", "surrogatepass"))
    probe("rewrap", windows_path(src), windows_path(dst))
    with open(dst, "rb") as f:
        return f.read().decode("utf-16-le", "surrogatepass")


def colour_class(rgb):
    r, g, b = rgb
    if max(rgb) < 80:
        return "black"
    if g > 80 and g > r + 50 and g > b + 50:
        return "green"
    if r > 100 and r > g + 60 and r > b + 60:
        return "red"
    return None


def text_colours(shot, rect):
    """The colours of the text drawn inside `rect` (x, y, w, h of a screenshot)."""
    x, y, w, h = rect
    out = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                          "txt:-"], capture_output=True, text=True, check=True).stdout
    found = set()
    for line in out.splitlines()[1:]:
        m = re.search(r"\((\d+),(\d+),(\d+)", line)
        if m:
            c = colour_class(tuple(int(v) for v in m.groups()))
            if c:
                found.add(c)
    return found


def probe_exe(exe, *args):
    """Runs another Windows program of the tests; its standard output."""
    out_path = os.path.join(WORK, "exe.out")
    with open(out_path, "w") as out:
        subprocess.run(["wine", exe, *args], env=ENV, stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=600, check=True)
    with open(out_path) as out:
        return out.read()
