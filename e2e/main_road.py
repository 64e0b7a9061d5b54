#!/usr/bin/env python3
"""Runs the built quillane program end to end on a private X display, driven by keys and clicks.

    main_road.py --program build/quillane --artifacts build/e2e --scenario main-road|answers

Each run copies the program into a fresh temporary folder (the program keeps its data files beside
itself when its folder is writable), so neither the build folder nor the user's data is touched.
The real windows, the real message boxes and the real printer dialog are used; the printer dialog
prints to a PDF file that is read back with pdftotext. A browser is never started: "xdg-open" is
replaced by a script that writes down the addresses it is given. On failure the screen is saved
as <artifacts>/<scenario>-failure.png.
"""

import datetime
import html
import os
import re
import stat
import subprocess
import sys

# Runs straight from the source folder: leave no compiled files there.
sys.dont_write_bytecode = True
from desktop import Failure, Run, run_scenario, wait_until  # noqa: E402

SPLASH = "Quillane by ORVANTIS Co"
MAIN_MENU = "Quillane Main Menu"
ENTRY = "Quillane"
PRINT_DIALOG = "Print"
ORDER_FORMS = "Ordering from Deluxe"
NOT_PRINTED = "Checks are NOT Printed"

SETTINGS = "DraftMere.txt"
JOURNAL_FOLDER = "Journal"
JOURNAL = JOURNAL_FOLDER + "/CheckJournal.db"
REVIEW = "Printed Checks"
REGISTER = "TempRegister.txt"
RECORD_LENGTH = 115
STYLE_3_ON_A_PAGE = "Deluxe 3-On-A-Page"

BANK = "First Harbor Bank, N.A."
ACCOUNT = "0012-345678"

# The checks of the main road: the keys typed into the amount box, what the key filter lets
# through, the amount in figures and in words as the check must show them.
CHECKS = [
    dict(payee="Northwind Traders", keys="12a34.567", amount="1234.56", memo="Invoice 7",
         figures="$1,234.56", words="One Thousand Two Hundred Thirty Four DOLLARS and Fifty Six CENTS"),
    dict(payee="Ada Lovelace", keys="$2,0", amount="20", memo="Books",
         figures="$20.00", words="Twenty  DOLLARS and NO CENTS"),
    dict(payee="Grace Hopper & Co", keys="0.5", amount="0.5", memo="Rent",
         figures="$0.50", words=" NO DOLLARS and Fifty  CENTS"),
]
FIRST_CHECK_NO = 1001
CHECKS_ON_FIRST_FORM = 2

POINTS_PER_INCH = 72.0


def settings_bytes(*values):
    return b"".join(b'"' + value.encode("ascii") + b'"\r\n' for value in values)


def collapse(text):
    return " ".join(text.split())


def check_record(run, data, number, check, check_no):
    """The register record of one accepted check, field by field; returns its date text."""
    record = data[(number - 1) * RECORD_LENGTH:number * RECORD_LENGTH]
    fields = [("check number", 0, 20, str(check_no)), ("payee", 30, 25, check["payee"]),
              ("amount", 55, 15, check["amount"]), ("memo", 70, 35, check["memo"]),
              ("status", 105, 10, "Printed")]
    for name, offset, width, value in fields:
        stored = record[offset:offset + width]
        run.check(stored == value.encode("ascii").ljust(width),
                  f"record {number}: {name} field is {stored!r}, expected {value!r} padded to {width} bytes")
    date = record[20:30].decode("ascii", errors="replace")
    today = datetime.date.today()
    accepted = {day.strftime("%m/%d/%Y") for day in (today, today - datetime.timedelta(days=1))}
    run.check(date in accepted, f"record {number}: date field is {date!r}, expected today as MM/DD/YYYY")
    return date


def enter_checks(run, checks, first_check_no, records_before=0):
    """Types each check on the entry panel, Enter, then Accept; the register grows a record each time."""
    display = run.display
    dates = []
    for index, check in enumerate(checks):
        display.type(check["payee"])
        display.key("Tab")
        display.type(check["keys"])
        display.key("Tab")
        display.type(check["memo"])
        # Enter, the next in the tab order, shows the verify panel with Accept focused. Buttons are
        # pressed with Return on the focused button: an access key clicks only after a short delay,
        # and keys sent meanwhile would reach the panel being left.
        display.key("Tab", "Return")
        display.key("Return")
        count = records_before + index + 1
        wait_until(f"check {index + 1} in the register ({count} records)",
                   lambda: os.path.exists(run.path(REGISTER))
                   and os.path.getsize(run.path(REGISTER)) == count * RECORD_LENGTH)
        dates.append(check_record(run, run.read(REGISTER), count, check, first_check_no + index))
    run.check_private(REGISTER)
    return dates


def pdf_words(pdf):
    """The words of each page of a PDF file with their boxes in points: [[(text, x0, y0, x1, y1)]]."""
    out = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True, timeout=30, check=True)
    pages = []
    for page in re.findall(r"<page [^>]*>(.*?)</page>", out.stdout.decode(), re.S):
        words = re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>',
                           page)
        pages.append([(html.unescape(w[4]), float(w[0]), float(w[1]), float(w[2]), float(w[3])) for w in words])
    return pages


def check_printed(run, pdf, dates):
    """The PDF of the print run: the checks in order, two on the first sheet and one on the second,
    each at its place on the 3-On-A-Page form."""
    text = subprocess.run(["pdftotext", "-raw", pdf, "-"], capture_output=True, timeout=30, check=True)
    pages = [collapse(page) for page in text.stdout.decode().split("\f") if page.strip()]
    run.require(len(pages) == 2, f"the PDF has {len(pages)} printed pages, expected 2 (2 checks on the first "
                                 f"form, then a new sheet): {pages}")
    sheet_of = [0, 0, 1]
    for index, check in enumerate(CHECKS):
        # Drawn in this order: date, payee, amount in figures, amount in words, memo.
        expected = collapse(f'{dates[index]} {check["payee"]} {check["figures"]} {check["words"]} {check["memo"]}')
        run.check(expected in pages[sheet_of[index]],
                  f"sheet {sheet_of[index] + 1} does not show check {index + 1} as {expected!r}; it shows "
                  f"{pages[sheet_of[index]]!r}")
    run.check(pages[0].find(CHECKS[0]["payee"]) < pages[0].find(CHECKS[1]["payee"]),
              "the first check is not printed above the second")

    boxes = pdf_words(pdf)

    def first(sheet, word):
        found = [box for box in boxes[sheet] if box[0] == word]
        run.require(found, f'"{word}" is not on sheet {sheet + 1} of the PDF')
        return found[0]

    def near(value, expected, what, tolerance=1.5):
        run.check(abs(value - expected) <= tolerance,
                  f"{what}: {value:.1f} pt, expected {expected:.1f} pt (within {tolerance} pt)")

    payees = [first(sheet_of[i], check["payee"].split()[0]) for i, check in enumerate(CHECKS)]
    slot_1, slot_2, next_sheet = payees
    # Slots lie 3.5 in apart; each check starts its payee, words and memo at the same column.
    near(slot_2[2] - slot_1[2], 3.5 * POINTS_PER_INCH, "payee of slot 2 below payee of slot 1")
    near(next_sheet[2], slot_1[2], "payee of the first check on sheet 2 against sheet 1")
    for payee in (slot_2, next_sheet):
        near(payee[1], slot_1[1], "left edge of each payee")
    figures = first(0, CHECKS[0]["figures"])
    near(figures[3] - slot_1[1], 6.25 * POINTS_PER_INCH, "right edge of the figures from the payee's left edge", 3)
    near(figures[2], slot_1[2], "figures on the payee line")
    date = first(0, dates[0])
    near(date[3] - slot_1[1], 7.0 * POINTS_PER_INCH, "right edge of the date from the payee's left edge", 3)
    near(slot_1[2] - date[2], 0.5 * POINTS_PER_INCH, "payee line below the date line")
    words = first(0, CHECKS[0]["words"].split()[0])
    near(words[2] - slot_1[2], 0.5 * POINTS_PER_INCH, "words line below the payee line")
    near(words[1], slot_1[1], "left edge of the words line")
    memo = first(0, CHECKS[0]["memo"].split()[0])
    near(memo[2] - slot_1[2], 1.25 * POINTS_PER_INCH, "memo line below the payee line")
    # The long words line wraps within 4 in (less 20 twips); only its last word may reach past.
    first_line = [box for box in boxes[0] if abs(box[2] - words[2]) < 0.5]
    run.check(len(first_line) < len(CHECKS[0]["words"].split()),
              "the words line of check 1 was not wrapped onto a second line")
    run.check(max(box[3] for box in first_line) - words[1] <= 287 + 0.5,
              "the first line of the words runs past 4 in")


def print_to_file(run, pdf, press=True):
    """In the printer dialog: the last entry of the printer list prints to a file; the output file
    field gets the path, then Return prints (unless press is false)."""
    display = run.display
    display.wait_window(PRINT_DIALOG)
    os.makedirs(os.path.dirname(pdf), exist_ok=True)
    display.key("alt+n", "End", "alt+f", "ctrl+a")
    display.type(pdf)
    if press:
        display.key("Return")


def write_settings(run, check_no, left=3, account=ACCOUNT):
    """A settings file as the checkbook setup saves it, owner-only."""
    stored = settings_bytes(BANK, account, str(check_no), str(left), STYLE_3_ON_A_PAGE)
    with open(run.path(SETTINGS), "wb") as f:
        f.write(stored)
    os.chmod(run.path(SETTINGS), 0o600)
    return stored


def main_road(run):
    """First run: set up the checkbook, write three checks, print them to a PDF file, close."""
    display = run.display
    display.wait_window(SPLASH)
    display.key("Return")  # Continue is the splash window's default button.
    display.wait_gone(SPLASH)
    display.wait_window(MAIN_MENU)

    # No settings file: the checkbook type panel, with Create focused and Business preselected.
    display.key("space")
    display.type(BANK)
    display.key("Tab")
    display.type(ACCOUNT)
    display.key("Tab", "ctrl+a")
    display.type(str(CHECKS_ON_FIRST_FORM))
    display.key("Tab", "Tab")  # past the style list, which keeps the preselected style
    display.type(str(FIRST_CHECK_NO))
    display.key("alt+a")
    wait_until("the settings file", lambda: os.path.exists(run.path(SETTINGS)))
    saved = run.read(SETTINGS)
    expected = settings_bytes(BANK, ACCOUNT, str(FIRST_CHECK_NO), str(CHECKS_ON_FIRST_FORM), STYLE_3_ON_A_PAGE)
    run.require(saved == expected, f"{SETTINGS} holds {saved!r}, expected {expected!r}")
    run.check_private(SETTINGS)

    # Accept leaves "Print Checks" selected on the menu panel; Goto opens the entry window.
    display.key("alt+g")
    display.wait_window(ENTRY)
    display.wait_gone(MAIN_MENU)
    dates = enter_checks(run, CHECKS, FIRST_CHECK_NO)

    # PrintChecks (payee, amount, memo, then past the disabled Enter), then Print Checks, focused,
    # opens the printer dialog.
    display.key("Tab", "Tab", "Tab", "Return")
    display.key("Return")
    pdf = os.path.join(run.root, "printed", "checks.pdf")
    print_to_file(run, pdf)
    display.wait_gone(PRINT_DIALOG)
    # The review of the printed forms: Return accepts "all printed well".
    display.wait_window(REVIEW)
    display.key("Return")
    display.wait_gone(REVIEW)
    display.wait_window(MAIN_MENU)
    display.wait_gone(ENTRY)
    wait_until(f"{REGISTER} to be deleted after printing", lambda: not os.path.exists(run.path(REGISTER)))
    run.require(os.path.exists(pdf), f"the printer dialog's output file {pdf} was not written")

    saved = run.read(SETTINGS)
    next_check = FIRST_CHECK_NO + len(CHECKS)
    left = (CHECKS_ON_FIRST_FORM - len(CHECKS)) % 3 or 3
    expected = settings_bytes(BANK, ACCOUNT, str(next_check), str(left), STYLE_3_ON_A_PAGE)
    run.check(saved == expected, f"{SETTINGS} after printing holds {saved!r}, expected {expected!r}")
    run.check_private(SETTINGS)
    check_printed(run, pdf, dates)

    run.check_private(JOURNAL)

    folder_mode = stat.S_IMODE(os.stat(run.path(JOURNAL_FOLDER)).st_mode)
    run.check(folder_mode == 0o700, f"{JOURNAL_FOLDER} has mode {folder_mode:04o}; it must be its owner's alone (0700)")

    run.close_program(MAIN_MENU)
    files = sorted(os.listdir(run.folder))
    run.check(files == sorted(["quillane", SETTINGS, JOURNAL_FOLDER]), f"the program folder holds {files} at the end")
    # The journal's write-ahead file may stay beside it; nothing else may (no -shm: it is locked exclusively).
    journal_files = sorted(f for f in os.listdir(run.path(JOURNAL_FOLDER)) if f != "CheckJournal.db-wal")
    run.check(journal_files == ["CheckJournal.db"], f"the journal's folder holds {journal_files} at the end")


def open_order_forms(run):
    """Clicks the splash window's third menu bar caption, "Order Forms"."""
    display = run.display
    splash = display.wait_window(SPLASH)
    # Until the window is painted its top rows hold no captions to find.
    items = wait_until('three captions (UpGrade, Visit Us, Order Forms) on the splash window\'s menu bar',
                       lambda: (lambda found: found if len(found) == 3 else None)(display.menu_bar_items(splash)),
                       timeout=5)
    left, right = items[2]
    display.click(splash, (left + right) // 2, 9)
    display.wait_window(ORDER_FORMS)


def answers(run):
    """The answers of the real message boxes and the printer dialog, pending checks kept on close."""
    display = run.display
    stored = write_settings(run, 2001)

    # A second copy is refused with a box of OK alone, titled "Quillane", and ends after OK; the
    # first copy stays as it was.
    display.wait_window(SPLASH)
    second = run.launch(os.path.join(run.root, "second-copy-output.txt"))
    try:
        display.wait_window(ENTRY)
        display.key("Return")
        code = second.wait(timeout=15)
    except (Failure, subprocess.TimeoutExpired) as error:
        second.kill()
        second.wait(timeout=10)
        raise Failure(f"the second copy of the program was not refused with its message: {error}")
    run.check(code == 0, f"the refused second copy ended with exit code {code}, expected 0")
    shown = display.visible_titles()
    run.check(shown == [SPLASH], f"after the second copy was refused the windows shown are {shown}")
    files = sorted(os.listdir(run.folder))
    run.check(files == sorted(["quillane", SETTINGS]), f"the refused second copy left {files} in the folder")

    # Order Forms: Cancel, pressed or by Escape, opens nothing. OK has the focus; Cancel is next.
    # (An address handed over late still shows when OK's address comes, and at the end of the run.)
    splash = display.wait_window(SPLASH)
    for keys, how in ((("Escape",), "Escape"), (("Tab", "space"), "Cancel")):
        open_order_forms(run)
        display.key(*keys)
        display.wait_gone(ORDER_FORMS)
        display.sync(splash)
        run.check(run.opened_addresses() == [], f"{how} on \"{ORDER_FORMS}\" opened {run.opened_addresses()}")
    # OK (the default button) opens the forms vendor's page, once.
    open_order_forms(run)
    display.key("Return")
    display.wait_gone(ORDER_FORMS)
    try:
        wait_until("an address handed to the browser", run.opened_addresses, timeout=5)
    except Failure:
        pass
    display.sync(splash)
    opened = run.opened_addresses()
    run.check(len(opened) == 1 and "/referral.cfm?" in opened[0] and "keycode=T52731" in opened[0],
              f"Escape, Cancel and OK on \"{ORDER_FORMS}\" opened {opened}, expected the vendor's referral page "
              f"once")
    run.check(not os.path.exists(run.path("Temp.url")), "the shortcut file Temp.url was left behind")

    # A settings file exists: Continue shows the menu panel with "Print Checks" selected.
    display.wait_window(SPLASH)
    display.key("Return")
    display.wait_window(MAIN_MENU)
    display.key("alt+g")
    entry = display.wait_window(ENTRY)
    enter_checks(run, CHECKS[:1], 2001)

    # Menu with checks pending asks first. Escape is no answer: the box stays and nothing is lost.
    display.key("alt+m")
    display.wait_window(NOT_PRINTED)
    display.key("Escape")
    if not run.check(display.stays_open(NOT_PRINTED, entry),
                     f"Escape closed \"{NOT_PRINTED}\"; the box must stay open until Yes or No"):
        seen = "kept" if os.path.exists(run.path(REGISTER)) else "deleted"
        run.problems.append(f"after that Escape the pending checks were {seen} and the windows shown are "
                            f"{display.visible_titles()}; the rest of this run is left out")
        return
    run.check(os.path.getsize(run.path(REGISTER)) == RECORD_LENGTH, "the register changed while the box was up")
    # No: the pending checks are deleted and the splash window comes back.
    display.key("n")
    display.wait_gone(NOT_PRINTED)
    display.wait_window(SPLASH)
    wait_until(f"{REGISTER} deleted after No", lambda: not os.path.exists(run.path(REGISTER)))

    # Again, and Yes: the print-summary panel with Print Checks focused; cancelling the printer
    # dialog prints nothing, says nothing and keeps every pending check.
    display.key("Return")
    display.wait_window(MAIN_MENU)
    display.key("alt+g")
    display.wait_window(ENTRY)
    enter_checks(run, CHECKS[1:2], 2001)
    display.key("alt+m")
    display.wait_window(NOT_PRINTED)
    display.key("y")
    display.wait_gone(NOT_PRINTED)
    entry = display.wait_window(ENTRY)
    display.key("Return")
    display.wait_window(PRINT_DIALOG)
    display.key("Escape")
    display.wait_gone(PRINT_DIALOG)
    display.sync(entry)
    shown = display.visible_titles()
    run.check(shown == [ENTRY], f"after cancelling the printer dialog the windows shown are {shown}, expected "
                                f"only the entry window")
    run.check(os.path.getsize(run.path(REGISTER)) == RECORD_LENGTH,
              "cancelling the printer dialog changed the register")
    run.check(run.read(SETTINGS) == stored, "cancelling the printer dialog changed the settings file")
    # Cancel Print: back to the main menu, the checks stay pending.
    display.wait_window(ENTRY)
    display.key("Tab", "Return")
    display.wait_window(MAIN_MENU)
    display.wait_gone(ENTRY)

    # The close box ends the program; the pending check survives for the next run.
    run.close_program(MAIN_MENU)
    run.check(os.path.exists(run.path(REGISTER)) and os.path.getsize(run.path(REGISTER)) == RECORD_LENGTH,
              "the pending check did not survive the end of the program")
    # The program has ended: any address it handed over is written down by now.
    run.check(len(run.opened_addresses()) == 1, f"the browser was handed {run.opened_addresses()} in all, "
                                                f"expected the vendor's page once")
    run.check(run.read(SETTINGS) == stored, "the settings file changed although nothing was printed")


SCENARIOS = {"main-road": main_road, "answers": answers}


def main(scenarios=None, description=__doc__, options=None, launch=True):
    """The main road's scenarios, or a script's own (see desktop.run_scenario)."""
    scenarios = scenarios or {name: (lambda run, args, play=play: play(run)) for name, play in SCENARIOS.items()}
    return run_scenario(scenarios, description, options, launch)


if __name__ == "__main__":
    sys.exit(main())
