#!/usr/bin/env python3
"""The payee book through the real quillane program: a payee with an address added in the Payees
window by keys, completed in the entry window from a typed prefix, printed on a voucher check to a
PDF file whose address block is read back at the form's place, then the book's address changed while
the journal keeps the address that went out.

    payee_road.py --program build/quillane --artifacts build/e2e --scenario payee-road
"""

import os
import shutil
import sqlite3
import sys
import tempfile
import time

sys.dont_write_bytecode = True
from desktop import wait_until  # noqa: E402
from main_road import (ACCOUNT, BANK, ENTRY, JOURNAL, MAIN_MENU, POINTS_PER_INCH, PRINT_DIALOG,  # noqa: E402
                       RECORD_LENGTH, REGISTER, REVIEW, SETTINGS, SPLASH, main, pdf_words, print_to_file,
                       settings_bytes)

PAYEES = "Payees"
VOUCHER = "Voucher, Check on Top"
NAME = "Harbor Light & Sail Co"
ADDRESS = ["12 Quay Street", "Suite 400", "Portland, ME 04101"]
MEMO = "Dock fees"
NEW_ADDRESS = "99 Ropewalk Lane"
# The voucher form's address block: at the payee's left edge (0.85 in), its first line's top 0.56 in
# below the payee's (1.65 in against 1.09 in from the check's top), each further line 1.15 times 10
# points lower. Measured from the payee, as the printer's margins move the whole page.
ADDRESS_BELOW_PAYEE = 0.56 * POINTS_PER_INCH
LINE = 11.5


def journal_rows(run, sql):
    """Rows of the journal, read from a copy while the program is not running."""
    run.require(run.process.poll() is not None, "the journal is read only while the program is not running")
    with tempfile.TemporaryDirectory() as scratch:
        copy = os.path.join(scratch, "copy.db")
        for suffix in ("", "-wal"):
            if os.path.exists(run.path(JOURNAL) + suffix):
                shutil.copyfile(run.path(JOURNAL) + suffix, copy + suffix)
        db = sqlite3.connect(copy)
        rows = db.execute(sql).fetchall()
        db.close()
    return rows


def start(run):
    run.relaunch()
    run.display.wait_window(SPLASH)
    run.display.key("Return")
    run.display.wait_window(MAIN_MENU)


def payee_road(run):
    display = run.display
    with open(run.path(SETTINGS), "wb") as f:
        f.write(settings_bytes(BANK, ACCOUNT, "2001", "1", VOUCHER))
    os.chmod(run.path(SETTINGS), 0o600)
    start(run)

    # Payees from the menu bar; New, the name, three address lines and the memo by their access
    # keys; Return saves; Escape closes, and would ask first had the save not happened.
    display.menu("alt+k", "y")
    display.wait_window(PAYEES)
    display.key("alt+w")
    # An access key clicks its button a moment later; keys typed meanwhile would reach the search box.
    time.sleep(0.4)
    display.type(NAME)
    for number, line in enumerate(ADDRESS, start=1):
        display.key(f"alt+{number}")
        display.type(line)
    display.key("alt+m")
    display.type(MEMO)
    display.key("Return")
    display.key("Escape")
    display.wait_gone(PAYEES)
    display.wait_window(MAIN_MENU)

    # The entry window: a lowercase prefix pops up the book's name, Down and Tab take it (and its
    # memo), then the amount, Enter and Accept.
    display.key("alt+g")
    display.wait_window(ENTRY)
    before = display.visible_ids()
    display.type("harb")
    wait_until("the payee completion's popup", lambda: len(display.visible_ids() - before) > 0)
    display.key("Down", "Tab")
    display.type("125.50")
    display.key("Tab", "Tab", "Return")
    display.key("Return")
    wait_until("the check in the register", lambda: os.path.exists(run.path(REGISTER))
               and os.path.getsize(run.path(REGISTER)) == RECORD_LENGTH)
    record = run.read(REGISTER).decode("cp1252")
    run.check(record[30:55].rstrip() == NAME, f"the register's payee is {record[30:55]!r}, expected {NAME!r}")
    run.check(record[70:105].rstrip() == MEMO, f"the register's memo is {record[70:105]!r}, expected the "
                                               f"book's default memo {MEMO!r}")

    # PrintChecks, Print Checks, the printer dialog to a PDF file, the review's "all printed well".
    display.key("Tab", "Tab", "Tab", "Return")
    display.key("Return")
    pdf = os.path.join(run.root, "printed", "voucher.pdf")
    print_to_file(run, pdf)
    display.wait_gone(PRINT_DIALOG)
    display.wait_window(REVIEW)
    display.key("Return")
    display.wait_window(MAIN_MENU)

    words = pdf_words(pdf)[0]
    payee = min((w for w in words if w[0] == NAME.split()[0]), key=lambda w: w[2])
    for index, line in enumerate(ADDRESS):
        top = payee[2] + ADDRESS_BELOW_PAYEE + index * LINE
        printed = " ".join(w[0] for w in words if abs(w[2] - top) < 1 and w[1] >= payee[1] - 1)
        at_edge = [w for w in words if abs(w[2] - top) < 1 and abs(w[1] - payee[1]) < 1]
        run.check(printed == line and at_edge, f"address line {index + 1}: {printed!r} at {top:.1f} pt from the "
                                             f"top, expected {line!r} from the payee's left edge {payee[1]:.1f} pt")

    # The book's address changes: found by the search box, Return to the list, the first line
    # replaced, Return saves.
    display.menu("alt+k", "y")
    display.wait_window(PAYEES)
    display.type("light")
    display.key("Return", "alt+1", "ctrl+a")
    display.type(NEW_ADDRESS)
    display.key("Return", "Escape")
    display.wait_gone(PAYEES)
    display.wait_window(MAIN_MENU)
    run.close_program(MAIN_MENU)

    printed = journal_rows(run, "SELECT payee, address, status FROM checks")
    run.check(printed == [(NAME, "\n".join(ADDRESS), "issued")],
              f"the journal's check is {printed}, expected the address as printed")
    book = journal_rows(run, "SELECT name, address_1, address_2, memo FROM payees")
    run.check(book == [(NAME, NEW_ADDRESS, ADDRESS[1], MEMO)], f"the payee book holds {book}")
    run.check_private(JOURNAL)


if __name__ == "__main__":
    sys.exit(main({"payee-road": lambda run, args: payee_road(run)}, __doc__, launch=False))
