#!/usr/bin/env python3
"""Check Forms on the real quillane program: a person's own voucher form made, moved and printed.

    forms_road.py --program build/quillane --artifacts build/e2e --scenario designer

Check Forms from the main menu's menu bar; Copy of the built-in "Voucher, Check on Top"; its payee
chosen in the item list and dragged with the real mouse, nudged with the arrow keys (Shift: a tenth of
an inch), one Undo; Save writes the form's file (owner-only). Print Test Sheet prints the form's
crosses into a PDF file. The program is closed and started again; the setup picks the new form (its
checks-left box fixed at 1), a check is written and printed to a PDF file, and pdftotext -bbox finds
the payee at its new place against the date, which did not move. The designer and the test sheet are
saved to the artifacts folder as forms-designer.png and forms-test-sheet-1.png.
"""

import glob
import json
import os
import re
import stat
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from desktop import wait_until  # noqa: E402
from journal_road import check, close_anywhere, drive, print_run, reach_entry, settings_values, write_checks  # noqa: E402
from main_road import (ACCOUNT, BANK, MAIN_MENU, PRINT_DIALOG, SETTINGS, main, pdf_words,  # noqa: E402
                       print_to_file, write_settings)

FORMS = "Check Forms"
BUILT_IN = "Voucher, Check on Top"
COPY = "Copy of " + BUILT_IN
# The published check-on-top positions of the built-in, inches from the sheet's top left.
DATE = (6.51, 0.55)
PAYEE = (0.85, 1.09)
# The drag in screen pixels, then three steps right (0.01 in each) and one Shift+Down (0.10 in) that is
# undone.
DRAG = (48, 6)
SELECTED = (210, 228, 255)  # the fill of the chosen item in the drawing
POINTS_PER_INCH = 72.0


def geometry(display, window):
    values = dict(line.split("=", 1) for line in
                  display.run("xdotool", "getwindowgeometry", "--shell", str(window)).split())
    return int(values["X"]), int(values["Y"])


def selected_box(display, window):
    """The chosen item's box in the drawing, window pixels: (left, top, right, bottom)."""
    def find():
        width, height, rows = display.capture(window)
        found = [(x, y) for y in range(height) for x in range(width)
                 if tuple(rows[y][3 * x:3 * x + 3]) == SELECTED]
        if not found:
            return None
        xs, ys = [x for x, _ in found], [y for _, y in found]
        return min(xs), min(ys), max(xs), max(ys)
    return wait_until("the chosen item drawn", find, 5)


def field_text(run, keys):
    """The text of a box reached by its access key, all of it selected and read from PRIMARY."""
    run.display.key(keys, "ctrl+a")
    time.sleep(0.3)
    return wait_until(f"the text of the box of {keys}", lambda: run.display.selection().strip(), 5)


def form_file(run):
    files = glob.glob(os.path.join(run.path("Forms"), "*.json"))
    return files[0] if len(files) == 1 else None


def saved_payee(run):
    with open(form_file(run), encoding="utf-8") as f:
        form = json.load(f)
    item = next(item for item in form["areas"][0]["items"] if item["field"] == "payee" and not item.get("stub"))
    return round(item["x"], 2), round(item["y"], 2)


def choose_form_in_setup(run, check_no):
    """Create Checkbook, Goto, Create; the fields typed anew and the style list's own form chosen by its
    first letter; then Accept."""
    display = run.display
    display.key("alt+c")
    time.sleep(0.4)
    display.key("alt+g")
    time.sleep(0.6)
    display.key("space")
    time.sleep(0.4)
    for index, text in enumerate((BANK, ACCOUNT, "3", "c", str(check_no))):
        if index:
            display.key("Tab")
        if index == 3:
            display.type(text)  # the list's type-ahead: the one form whose name starts with C
        else:
            display.key("ctrl+a")
            display.type(text)
    display.key("alt+a")
    time.sleep(0.6)
    drive(run, (MAIN_MENU,), settle=1.0)


def near(run, value, expected, what, tolerance=0.5):
    run.check(abs(value - expected) <= tolerance,
              f"{what}: {value:.2f} pt, expected {expected:.2f} pt (within {tolerance} pt)")


def designer(run):
    display = run.display
    write_settings(run, 3001)
    run.relaunch()
    drive(run, (MAIN_MENU,))
    display.menu("alt+s", "f")
    window = display.wait_window(FORMS)

    # The list: its first V is the built-in; Copy saves an editable form and shows it.
    display.key("alt+f", "Home")
    display.type("V")
    display.key("alt+c")
    wait_until("the copied form's file", lambda: form_file(run))
    run.check(os.path.basename(form_file(run)) == COPY + ".json", f"the copy was saved as {form_file(run)}")
    run.check(stat.S_IMODE(os.stat(run.path("Forms")).st_mode) == 0o700, "the Forms folder is not owner-only")

    # Down in the item list chooses the payee; a real drag from its middle moves it.
    date_box = selected_box(display, window)
    display.key("alt+i", "Down")
    payee_box = wait_until("the payee chosen", lambda: (lambda box: box if box != date_box else None)(
        selected_box(display, window)))
    x0, y0 = geometry(display, window)
    start_x = x0 + (payee_box[0] + payee_box[2]) // 2
    start_y = y0 + (payee_box[1] + payee_box[3]) // 2
    display.run("xdotool", "mousemove", str(start_x), str(start_y), "sleep", "0.2", "mousedown", "1", "sleep", "0.2",
                 "mousemove", str(start_x + DRAG[0] // 2), str(start_y + DRAG[1] // 2), "sleep", "0.2",
                 "mousemove", str(start_x + DRAG[0]), str(start_y + DRAG[1]), "sleep", "0.2", "mouseup", "1")
    # Where the drag left it, as the position boxes show it: right and down by what the drawing's
    # scale (50 to 150 pixels an inch) makes of the drag.
    moved = tuple(float(field_text(run, key)) for key in ("alt+x", "alt+y"))
    for axis, name in ((0, "right"), (1, "down")):
        low, high = PAYEE[axis] + DRAG[axis] / 150, PAYEE[axis] + DRAG[axis] / 50
        run.require(low - 0.011 <= moved[axis] <= high + 0.011,
                    f"the drag moved the payee {name} to {moved[axis]}, expected {low:.2f} to {high:.2f}")
    # Back on the drawing (the font size box, then Tab): three steps right, a tenth down, undone.
    display.key("alt+z", "Tab")
    display.key("Right", "Right", "Right", "shift+Down")
    display.key("ctrl+z")
    expected = (round(moved[0] + 0.03, 2), moved[1])
    display.key("alt+s")
    try:
        wait_until("the moved payee saved", lambda: saved_payee(run) == expected, 5)
    except Exception:
        pass
    run.check(saved_payee(run) == expected, f"the saved payee stands at {saved_payee(run)}, expected {expected}")
    run.check_private(os.path.join("Forms", COPY + ".json"))
    os.makedirs(run.artifacts, exist_ok=True)
    display.screenshot(os.path.join(run.artifacts, "forms-designer.png"))

    # The test sheet of this form: the payee's cross named at its new place, against the date's.
    display.key("alt+t")
    sheet = os.path.join(run.root, "printed", "sheet.pdf")
    print_to_file(run, sheet)
    display.wait_gone(PRINT_DIALOG)
    wait_until("the test sheet", lambda: os.path.exists(sheet) and open(sheet, "rb").read().rstrip().endswith(b"%%EOF"))
    subprocess.run(["pdftoppm", "-png", "-r", "60", sheet, os.path.join(run.artifacts, "forms-test-sheet")],
                   timeout=30, check=True)
    words = pdf_words(sheet)[0]
    # The highest of each word is the mark: the lines on how to use the sheet also speak of the date.
    marks = {}
    for text, x0, y0, _, _ in sorted(words, key=lambda word: -word[2]):
        if text in ("date", "payee"):
            marks[text] = (x0, y0)
    run.require(len(marks) == 2, f"the test sheet lacks the date's or the payee's mark: {sorted(marks)}")
    near(run, marks["payee"][0] - marks["date"][0], (expected[0] - DATE[0]) * POINTS_PER_INCH,
         "test sheet: the payee's mark right of the date's")
    near(run, marks["payee"][1] - marks["date"][1], (expected[1] - DATE[1]) * POINTS_PER_INCH,
         "test sheet: the payee's mark below the date's")

    # Closed with nothing unsaved: no question. The program ends, and the form is read again on start.
    display.wait_window(FORMS)
    display.key("Escape")
    display.wait_gone(FORMS)
    run.close_program(MAIN_MENU)
    run.relaunch()
    drive(run, (MAIN_MENU,))
    choose_form_in_setup(run, 3001)
    values = settings_values(run)
    run.require(values[4] == COPY and values[3] == "1",
                f"the setup saved {values}; expected the form {COPY!r} with 1 check left on the first sheet")

    # A check printed on the person's form: the payee where it was moved, the date where it was.
    reach_entry(run)
    write_checks(run, [check("Harbor Supply", "250.75", "Order 12")])
    pdf = os.path.join(run.root, "printed", "checks.pdf")
    printed, answered = print_run(run, pdf)
    run.require(printed, f"the check was not printed: {answered}")
    pages = pdf_words(pdf)
    run.require(len(pages) == 1, f"the voucher run printed {len(pages)} pages, expected 1")
    dates = sorted((y0, x0) for text, x0, y0, _, _ in pages[0] if re.fullmatch(r"\d\d/\d\d/\d{4}", text))
    payees = sorted((y0, x0) for text, x0, y0, _, _ in pages[0] if text == "Harbor")
    run.require(len(dates) == 3 and len(payees) == 3,
                f"expected the date and the payee on the check and both stubs: {dates}, {payees}")
    near(run, payees[0][1] - dates[0][1], (expected[0] - DATE[0]) * POINTS_PER_INCH,
         "printed check: the payee right of the date")
    near(run, payees[0][0] - dates[0][0], (expected[1] - DATE[1]) * POINTS_PER_INCH,
         "printed check: the payee below the date")
    run.check(settings_values(run)[3] == "1", f"after the run the setup holds {settings_values(run)}")
    close_anywhere(run)


if __name__ == "__main__":
    sys.exit(main({"designer": lambda run, args: designer(run)}, __doc__, launch=False))
