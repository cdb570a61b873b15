"""Shows Ostrel's main job without a display of one's own: on a virtual
display, the sample mail goes on the clipboard, Ostrel opens, Go is clicked,
and the re-wrapped clipboard text is printed with the path of a screenshot."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
from ostrel_wine import (activate_ostrel, click, clipboard_get, control, finish, report,  # noqa: E402
                         screenshot, start, switch_away, clipboard_set)

sample = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample-mail.txt")
with open(sample, encoding="utf-8") as f:
    mail = f.read()

process = start()
switch_away()
clipboard_set(mail)
activate_ostrel()
rep = report()
print("Ostrel says:", control(rep, 6)["text"])
click(rep, 7)
for _ in range(50):
    if control(report(), 6)["text"] == "Done.":
        break
    time.sleep(0.2)
rep = report()
print("after Go:", control(rep, 6)["text"])
shot = screenshot(os.path.join(os.environ["OSTREL_ARTIFACTS"], "ostrel-demo.png"), rep)
print("\n--- the clipboard now holds ---")
print(clipboard_get().replace("\r\n", "\n"))
print("--- end ---\n")
print("screenshot:", shot)
click(rep, 11)
sys.exit(finish(process))
