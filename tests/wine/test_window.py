"""The main window under Wine, looked at from outside: sizes, places, texts,
fonts, the link, the title in both languages, and how it ends."""
import os

import time

from ostrel_wine import (TITLE, activate_ostrel, click, clipboard_set, control, finish, key,
                         report, run, screenshot, start, switch_away)

# On the clipboard when the window opens: a text that needs wrapping, so that
# the window stays as it opened, with Go shown and the prompt beside it.
MAIL = "Dear Anna, " + "this line of the mail runs on for far too long " * 3

def start_with_mail(**settings):
    """Starts Ostrel and brings it the mail, as a user does; a change of
    resolution restarts Wine's session, which empties its clipboard."""
    process = start(**settings)
    switch_away()
    clipboard_set(MAIL)
    activate_ostrel()
    for _ in range(50):
        if control(report(), 4)["text"] == MAIL:
            break
        time.sleep(0.2)
    return process


# Nominal layout: class, x, y, width, height, font slot.
CONTROLS = [
    ("Static", 15, 20, 550, 30, "title"),
    ("Static", 15, 75, 380, 20, "heading"),
    ("Static", 15, 95, 550, 40, "text"),
    ("Static", 15, 140, 550, 20, "text"),
    ("RichEdit20W", 15, 165, 550, 180, "fixed"),
    ("Static", 15, 365, 380, 20, "heading"),
    ("Static", 15, 385, 190, 20, "text"),
    ("Button", 210, 381, 90, 25, "text"),
    ("Static", 15, 425, 380, 20, "heading"),
    ("Static", 15, 445, 550, 70, "text"),
    ("Static", 15, 542, 120, 70, "text"),
    ("Button", 475, 535, 90, 30, "text"),
]

ENGLISH = ["Wrap lines of an e-mail", "1. Move text of the mail to the clipboard",
           "In the e-mail program, open the window for writing a reply, select the whole text of "
           "the received mail (Ctrl+A), and cut it (Ctrl+X or Shift+Del).",
           "Current content of the clipboard:", None, "2. Wrap long lines", "Click at this button:",
           "Go", "3. Reinsert text into the mail",
           "You can now quit this program.\nSwitch to the e-mail program and insert the content of "
           "the clipboard into the mail (Ctrl+V or Shift+Ins).", None, "Quit"]
GERMAN = ["Zeilen einer E-Mail umbrechen", "1. Text der Mail in die Zwischenablage verschieben",
          "\u00d6ffnen Sie im E-Mail-Programm das Fenster zum Antworten, markieren Sie darin den "
          "gesamten Text der empfangenen Mail (Strg+A) und schneiden Sie ihn aus (Strg+X oder "
          "Umsch+Entf).", "Aktueller Inhalt der Zwischenablage:", None, "2. Lange Zeilen umbrechen",
          "Klicken Sie auf diese Schaltfl\u00e4che:", "Los", "3. Text wieder in die Mail einf\u00fcgen",
          "Dieses Programm kann jetzt beendet werden.\nWechseln Sie zum E-Mail-Programm und "
          "f\u00fcgen Sie den Inhalt der Zwischenablage in die Mail ein (Strg+V oder Umsch+Einfg).",
          None, "Beenden"]

WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME = (
    0x00C00000, 0x00080000, 0x00020000, 0x00010000, 0x00040000)
WS_TABSTOP, WS_VSCROLL, WS_HSCROLL, ES_READONLY = 0x00010000, 0x00200000, 0x00100000, 0x0800
SS_CENTER, SS_NOPREFIX, WS_GROUP = 0x1, 0x80, 0x00020000


def mul_div(a, b, c):
    return (a * b + c // 2) // c


def check_layout(rep, scale, texts, base_points, title_points, dpi, link_fits=True):
    def px(v):
        return round(v * scale)  # Python rounds halves to even, as the program must

    assert rep["title"] == TITLE, rep["title"]
    assert rep["client"] == [px(580), px(580)], rep["client"]
    # Centred on the screen.
    x, y, w, h = rep["outer"]
    sw, sh = rep["screen"]
    assert (x, y) == ((sw - min(sw, w)) // 2, (sh - min(sh, h)) // 2), rep["outer"]
    style = rep["style"]
    assert style & WS_CAPTION and style & WS_SYSMENU and style & WS_MINIMIZEBOX
    assert not style & (WS_MAXIMIZEBOX | WS_THICKFRAME), hex(style)
    assert rep["classStyle"] & 0x8, "CS_DBLCLKS"
    assert rep["classBrush"] == 16, "COLOR_BTNFACE + 1"
    assert rep["classIcon"] and not rep["menu"]
    assert rep["focus"] is None, rep["focus"]

    heights = {"text": -mul_div(base_points, dpi, 72), "heading": -mul_div(base_points, dpi, 72),
               "fixed": -mul_div(base_points, dpi, 72), "title": -mul_div(title_points, dpi, 72)}
    faces = {"text": "Segoe UI", "heading": "Segoe UI", "fixed": "Consolas", "title": "Segoe UI"}
    assert len(rep["controls"]) == 12, [c["id"] for c in rep["controls"]]
    for n, (cls, cx, cy, cw, ch, slot) in enumerate(CONTROLS):
        c = control(rep, n)
        assert c["class"].lower() == cls.lower(), (n, c["class"])
        assert c["rect"] == [px(cx), px(cy), px(cw), px(ch)], (n, c["rect"])
        assert c["visible"] and c["enabled"], n
        if slot == "fixed":
            # Rich edit keeps its font as a character format, in twips.
            assert c["viewFace"] == "Consolas" and not c["viewBold"], c["viewFace"]
            assert c["viewTwips"] == base_points * 20, (c["viewTwips"], base_points)
        else:
            font = c["font"]
            assert font["face"] == faces[slot], (n, font)
            assert font["height"] == heights[slot], (n, font, heights[slot])
            assert font["weight"] == (700 if slot == "heading" else 400), (n, font)
        if texts[n] is not None:
            assert c["text"] == texts[n], (n, c["text"])
    # Labels wrap and show "&" as itself; the title is centred.
    for n in (0, 1, 2, 3, 5, 6, 8, 9):
        assert control(rep, n)["style"] & (SS_NOPREFIX | WS_GROUP) == SS_NOPREFIX | WS_GROUP, n
    assert control(rep, 0)["style"] & 0x3 == SS_CENTER
    view = control(rep, 4)
    # Rich edit shows its scroll bars (and their styles) only while they are needed.
    assert view["style"] & (WS_TABSTOP | ES_READONLY) == WS_TABSTOP | ES_READONLY, hex(view["style"])
    assert view["text"] == MAIL, view["text"]
    # Its one line is far wider than the view: unbroken, with a horizontal scroll bar.
    assert view["style"] & WS_HSCROLL, hex(view["style"])
    assert view["limit"] >= 0x7FFFFFFE, view["limit"]
    for n in (7, 11):
        assert control(rep, n)["style"] & WS_TABSTOP, n
    # The link: the copyright notice, on one line that fits its label, in blue.
    link = control(rep, 10)
    assert link["text"] == "\u00a9 2026 ostrel.org", link["text"]
    if link_fits:
        assert link["textExtent"][0] <= px(120), link["textExtent"]


def quit_by_button(process):
    rep = report()
    click(rep, 11)
    assert finish(process) == 0


def test_layout_96():
    process = start_with_mail(locale="en_US.UTF-8")
    rep = report()
    check_layout(rep, 1.0, ENGLISH, 9, 14, 96)
    assert control(rep, 7)["rect"] == [210, 381, 90, 25]
    assert control(rep, 11)["rect"] == [475, 535, 90, 30]
    shot = screenshot(os.path.join(os.environ.get("OSTREL_ARTIFACTS", "."), "window-96dpi.png"), rep)
    print(f"screenshot: {shot}")
    quit_by_button(process)


def test_layout_144():
    # Windows 7: the controls scale, the point sizes stay.
    process = start_with_mail(dpi=144, locale="en_US.UTF-8")
    rep = report()
    check_layout(rep, 1.5, ENGLISH, 9, 14, 144)
    assert rep["client"] == [870, 870]
    assert control(rep, 0)["rect"] == [22, 30, 825, 45]
    assert control(rep, 7)["rect"] == [315, 572, 135, 38]
    assert control(rep, 11)["rect"][:2] == [712, 802]
    screenshot(os.path.join(os.environ.get("OSTREL_ARTIFACTS", "."), "window-144dpi.png"), rep)
    quit_by_button(process)


def test_layout_144_windows_10():
    # Later than Windows 8: the point sizes scale too (13.5 goes to 14, 21 stays).
    # Windows reports 96 dpi before the program declares itself DPI-aware and
    # so scales fonts once; Wine reports 144 and they come out twice as large,
    # too large for the link label.
    process = start_with_mail(dpi=144, winver="win10", locale="en_US.UTF-8")
    check_layout(report(), 1.5, ENGLISH, 14, 21, 144, link_fits=False)
    quit_by_button(process)


def test_german_and_close_box():
    process = start_with_mail(locale="de_DE.UTF-8")
    rep = report()
    check_layout(rep, 1.0, GERMAN, 9, 14, 96)
    assert rep["title"] == "Ostrel 1.00"
    activate_ostrel()
    key("alt+F4")
    assert finish(process) == 0


def test_arguments_change_nothing():
    process = start_with_mail(locale="en_US.UTF-8", args=("--help", "C:\\nothing.txt"))
    check_layout(report(), 1.0, ENGLISH, 9, 14, 96)
    quit_by_button(process)


def test_tab_order():
    process = start_with_mail(locale="en_US.UTF-8")
    activate_ostrel()
    order = []
    for _ in range(4):
        key("Tab")
        order.append(report()["focus"])
    key("shift+Tab")
    back = report()["focus"]
    assert order == [104, 107, 111, 104], order
    assert back == 111, back
    quit_by_button(process)


if __name__ == "__main__":
    run({name: f for name, f in globals().items() if name.startswith("test_")})
