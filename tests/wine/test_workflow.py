"""The whole job under Wine, as a user does it: a mail text arrives on the
clipboard from another program, the user switches to Ostrel, clicks Go,
pastes elsewhere, comes back, clicks Undo, copies other texts, quits."""
import os
import subprocess
import time

from ostrel_wine import (ENV, PROBE, WORK, activate_ostrel, click, clipboard_get, clipboard_set,
                         control, finish, probe, report, rewrapped, run, screenshot, start,
                         switch_away, text_colours, xclip_get, xclip_set, wine_env)

GO, STATUS, VIEW, LINK, QUIT = 7, 6, 4, 10, 11
ENGLISH = {"prompt": "Click at this button:", "go": "Go", "undo": "Undo", "done": "Done.",
           "nowrap": "No word wrap required.", "busy": "Clipboard busy, try again."}
GERMAN = {"prompt": "Klicken Sie auf diese Schaltfl\u00e4che:", "go": "Los",
          "undo": "R\u00fcckg\u00e4ngig", "done": "Erledigt.",
          "nowrap": "Kein Zeilenumbruch erforderlich.", "busy": "Zwischenablage belegt."}
COLOURS = {"prompt": [0, 0, 0], "done": [0, 136, 0], "nowrap": [0, 136, 0], "busy": [192, 0, 0]}
PIXEL_COLOURS = {"prompt": "black", "done": "green", "nowrap": "green", "busy": "red"}

MAIL = ("Hello Anna,\r\n\r\n"
        "> On Monday you wrote: the quarterly figures look fine to me, but could you send the "
        "complete list of the invoices that are still open, together with their due dates?\r\n"
        ">\r\n"
        ">> Earlier: " + "a long quoted paragraph that was never wrapped by its sender " * 3 +
        "\r\n\r\nRegards\r\nBen\r\n")


def normal(text):
    """Line ends as rich edit gives them back: every kind becomes LF."""
    return text.replace("\r\n", "\n").replace("\r", "\n")


def shows(state, words, text=None, clip=None, seconds=10):
    """Checks the window (and the clipboard) against one state of the workflow,
    waiting for it as a user would look until the window has caught up."""
    deadline = time.time() + seconds
    while True:
        try:
            return check_state(state, words, text, clip)
        except AssertionError:
            if time.time() > deadline:
                raise
            time.sleep(0.3)


def check_state(state, words, text, clip):
    rep = report()
    status = control(rep, STATUS)
    go = control(rep, GO)
    assert status["text"] == words[state], (status["text"], state)
    assert status["textColour"] == COLOURS[state], (status["textColour"], state)
    if state == "nowrap":
        assert not go["visible"], "Go must be hidden"
    else:
        assert go["visible"], "Go must be shown"
        caption = words["undo"] if state == "done" else words["go"]
        assert go["text"] == caption, (go["text"], caption)
    if text is not None:
        assert normal(control(rep, VIEW)["text"]) == normal(text), "the view shows another text"
    if clip is not None:
        got = clipboard_get()
        assert got == clip, f"clipboard holds {len(got or '')} units, not the expected {len(clip)}"
    # The colour as drawn: a screenshot of the status label.
    shot = screenshot(os.path.join(WORK, "status.png"))
    assert PIXEL_COLOURS[state] in text_colours(shot, status["screenRect"]), state
    return rep


def the_whole_job(words, locale):
    process = start(locale=locale)
    # The mail program puts the mail on the clipboard (through X), the user comes to Ostrel.
    switch_away()
    xclip_set(MAIL.replace("\r\n", "\n"))
    activate_ostrel()
    original = clipboard_get()
    assert normal(original) == normal(MAIL)
    wrapped = rewrapped(original)
    assert wrapped != original
    rep = shows("prompt", words, text=original, clip=original)

    click(rep, GO)
    rep = shows("done", words, text=wrapped, clip=wrapped)
    # Pasted into the mail program, which reads the clipboard; then back.
    switch_away()
    assert normal(xclip_get()) == normal(wrapped)
    activate_ostrel()
    rep = shows("done", words, text=wrapped, clip=wrapped)

    click(rep, GO)  # Undo
    rep = shows("prompt", words, text=original, clip=original)

    switch_away()
    xclip_set("A short answer.")
    activate_ostrel()
    shows("nowrap", words, text="A short answer.")

    switch_away()
    long_text = "x " * 60 + "end of a long line"
    xclip_set(long_text)
    activate_ostrel()
    rep = shows("prompt", words, text=long_text)

    click(rep, QUIT)
    assert finish(process) == 0


def test_english():
    the_whole_job(ENGLISH, "en_US.UTF-8")


def test_german():
    the_whole_job(GERMAN, "de_DE.UTF-8")


def test_go_then_undo_is_exact():
    # Lone surrogates, tabs, a lone CR, LF line ends: code unit for code unit.
    process = start(locale="en_US.UTF-8")
    switch_away()
    text = ("\ud800 lone \udc00 surrogates\tand a lone\rCR\n" + "> " + "quoted words " * 10 + "\n"
            + "\t" + "indented " * 12 + "\n" + "z" * 1200 + "\n")
    clipboard_set(text)
    activate_ostrel()
    rep = shows("prompt", ENGLISH, clip=text)
    click(rep, GO)
    rep = shows("done", ENGLISH, clip=rewrapped(text))
    click(rep, GO)
    shows("prompt", ENGLISH, clip=text)
    click(report(), QUIT)
    assert finish(process) == 0


def test_rtf_lookalike_is_shown_literally():
    process = start(locale="en_US.UTF-8")
    switch_away()
    text = "{\\rtf1\\ansi\\f0\\pard This is {\\b bold} text.\\par}"
    clipboard_set(text)
    activate_ostrel()
    shows("nowrap", ENGLISH, text=text, clip=text)
    click(report(), QUIT)
    assert finish(process) == 0


def test_mail_of_megabytes():
    process = start(locale="en_US.UTF-8")
    switch_away()
    paragraph = "> " + " ".join(f"word{i}" for i in range(400)) + "\r\n"
    text = paragraph * (4_200_000 // len(paragraph))  # over 4 MB of code units
    clipboard_set(text)
    activate_ostrel()
    # Loading megabytes into rich edit takes a while under Wine.
    rep = shows("prompt", ENGLISH, text=text, clip=text, seconds=90)
    click(rep, GO)
    wrapped = rewrapped(text)
    shows("done", ENGLISH, text=wrapped, clip=wrapped, seconds=90)
    click(report(), GO)
    shows("prompt", ENGLISH, text=text, clip=text, seconds=90)
    click(report(), QUIT)
    assert finish(process, timeout=60) == 0


def test_clipboard_held_during_go():
    process = start(locale="en_US.UTF-8")
    switch_away()
    text = "word " * 30
    clipboard_set(text)
    activate_ostrel()
    rep = shows("prompt", ENGLISH, text=text)
    # Another program opens the clipboard and keeps it open for a while.
    holder = subprocess.Popen(["wine", PROBE, "clip-hold", "4"], env=ENV, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    assert holder.stdout.readline().strip() == "held"
    click(rep, GO)
    rep = shows("busy", ENGLISH, text=text)
    assert control(rep, GO)["text"] == "Go"
    holder.wait(timeout=30)
    click(rep, GO)
    shows("done", ENGLISH, clip=rewrapped(text))
    click(report(), QUIT)
    assert finish(process) == 0


def test_clipboard_without_text():
    process = start(locale="en_US.UTF-8")
    switch_away()
    probe("clip-image")
    activate_ostrel()
    shows("nowrap", ENGLISH, text="")
    # A text again, then nothing at all.
    switch_away()
    clipboard_set("word " * 30)
    activate_ostrel()
    shows("prompt", ENGLISH)
    switch_away()
    probe("clip-empty")
    activate_ostrel()
    shows("nowrap", ENGLISH, text="")
    click(report(), QUIT)
    assert finish(process) == 0


def test_clipboard_data_without_nul():
    process = start(locale="en_US.UTF-8")
    switch_away()
    clipboard_set("word " * 30, nul=False)
    activate_ostrel()
    # Wine itself takes the last unit of such data for its end; nothing
    # beyond the data is read.
    held = clipboard_get()
    assert ("word " * 30).startswith(held) and len(held) >= 149, repr(held)
    shows("prompt", ENGLISH, text=held)
    click(report(), QUIT)
    assert finish(process) == 0


def test_link_opens_the_page():
    probe_path = "Z:" + os.path.abspath(PROBE).replace("/", "\\")
    subprocess.run(["wine", "reg", "add", "HKCR\\https\\shell\\open\\command", "/ve", "/d",
                    f'"{probe_path}" url-mark "%1"', "/f"], env=ENV, check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    marker = os.path.join(os.path.dirname(PROBE), "url-opened.txt")
    if os.path.exists(marker):
        os.remove(marker)
    process = start(locale="en_US.UTF-8")
    switch_away()
    clipboard_set("word " * 30)
    activate_ostrel()
    rep = shows("prompt", ENGLISH)
    click(rep, LINK)
    for _ in range(50):
        if os.path.exists(marker):
            break
        time.sleep(0.2)
    with open(marker, encoding="utf-16-le") as f:
        assert f.read() == "https://ostrel.org/"
    shows("prompt", ENGLISH)
    click(report(), QUIT)
    assert finish(process) == 0


def test_hostile_texts():
    """Odd clipboard texts: nothing crashes, Go puts the engine's answer and
    Undo gives back the exact original."""
    process = start(locale="en_US.UTF-8")
    cases = [
        "before a NUL\0after it is never read",
        "\r" * 20000,
        " " * 5000,
        "\r\n" * 100_000,
        "\n" * 100_000,
        ">" * 2000,
        "> " * 1000 + "x",
        "\ud800\udbff\udfff" * 300,
        "\t" * 3000,
    ]
    for text in cases:
        # As the clipboard gives it back: valid surrogate pairs as one character.
        text = text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "surrogatepass")
        switch_away()
        clipboard_set(text)
        activate_ostrel()
        held = text.split("\0")[0]
        got = clipboard_get()
        assert got is not None and got.split("\0")[0] == held, (repr(text[:20]), len(text), repr((got or "")[:20]), len(got or ""))
        wrapped = rewrapped(held)
        if wrapped == held:
            shows("nowrap", ENGLISH, text=held, seconds=60)
            continue
        rep = shows("prompt", ENGLISH, text=held, seconds=60)
        click(rep, GO)
        rep = shows("done", ENGLISH, text=wrapped, clip=wrapped, seconds=60)
        click(rep, GO)
        shows("prompt", ENGLISH, text=held, clip=held, seconds=60)
    click(report(), QUIT)
    assert finish(process) == 0


if __name__ == "__main__":
    run({name: f for name, f in globals().items() if name.startswith("test_")})
