#!/usr/bin/env python3
"""The check journal as a person meets it through the real quillane program, and kill -9 across the
print run.

    journal_road.py --program build/quillane --artifacts build/e2e --scenario NAME [--rounds N] [--seed S]

kill-print prints round after round to PDF files and kills the program at a chosen moment of each
run: just after the printer dialog was accepted, at a random moment, the moment the whole PDF is
on disk, or while the review of the printed forms is up. After each restart the program must put
an unresolved run to the person before anything else, and across all rounds no check may be
lost, journaled twice, left both pending and issued, or come out of the printer twice.

The other scenarios each play one fault of the journal as a person meets it. The journal is read
with the sqlite3 module only while the program is not running, from a copy, so the files stay as
the program left them.
"""

import os
import random
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
from desktop import Failure, wait_until  # noqa: E402
from main_road import (ACCOUNT, ENTRY, JOURNAL, MAIN_MENU, PRINT_DIALOG, RECORD_LENGTH, REGISTER,  # noqa: E402
                       REVIEW, SETTINGS, SPLASH, collapse, enter_checks, main, print_to_file, write_settings)

JOURNAL_FOLDER = "Journal"
ALREADY_PRINTED = "Checks Already Printed"
NOT_PRINTED = "Checks Not Printed"


def journal_path(run):
    """The journal in its own folder; a program that keeps it beside the settings is read there."""
    inside = run.path(os.path.join(JOURNAL_FOLDER, JOURNAL))
    return inside if os.path.exists(inside) or not os.path.exists(run.path(JOURNAL)) else run.path(JOURNAL)


def journal_checks(run):
    """Every check row of the journal as dicts, read from a copy of its files (the program must not run)."""
    run.require(run.process is None or run.process.poll() is not None,
                "the journal is read only while the program is not running")
    source = journal_path(run)
    if not os.path.exists(source):
        return []
    with tempfile.TemporaryDirectory() as scratch:
        copy = os.path.join(scratch, JOURNAL)
        for suffix in ("", "-wal"):
            if os.path.exists(source + suffix):
                shutil.copyfile(source + suffix, copy + suffix)
        with sqlite3.connect(copy) as db:
            db.row_factory = sqlite3.Row
            rows = [dict(row) for row in db.execute("SELECT * FROM checks ORDER BY id")]
        db.close()
    return rows


def pending(run):
    """The register's records: check number, payee, amount and memo with their padding cut."""
    if not os.path.exists(run.path(REGISTER)):
        return []
    data = run.read(REGISTER)
    run.require(len(data) % RECORD_LENGTH == 0, f"{REGISTER} is {len(data)} bytes, not whole records")
    records = []
    for start in range(0, len(data), RECORD_LENGTH):
        record = data[start:start + RECORD_LENGTH].decode("cp1252")
        records.append(dict(check_no=record[0:20].strip(), payee=record[30:55].rstrip(),
                            amount=record[55:70].rstrip(), memo=record[70:105].rstrip()))
    return records


def settings_values(run):
    return re.findall(r'"([^"]*)"', run.read(SETTINGS).decode("cp1252"))


def pdf_text(pdf):
    """The text of a PDF whose writing ended (its last bytes are the end-of-file mark), else None."""
    if not pdf_complete(pdf):
        return None
    out = subprocess.run(["pdftotext", "-raw", pdf, "-"], capture_output=True, timeout=30)
    return collapse(out.stdout.decode(errors="replace")) if out.returncode == 0 else None


def pdf_complete(pdf):
    try:
        with open(pdf, "rb") as f:
            f.seek(0, os.SEEK_END)
            size = f.tell()
            f.seek(max(0, size - 16))
            return size > 0 and f.read().rstrip().endswith(b"%%EOF")
    except OSError:
        return False


def reach_entry(run, answers=None, timeout=30.0):
    """From the program's start to the entry window, answering what comes on the way: Continue on
    the splash window, Goto on the menu, Return on the review of printed forms and on the question
    about checks printed before (unless answers maps a title to other keys). Returns the titles
    of the windows answered, in order."""
    display = run.display
    answers = dict({REVIEW: ("Return",), ALREADY_PRINTED: ("Return",)}, **(answers or {}))
    seen, handled = [], set()
    deadline = time.monotonic() + timeout
    steady = None
    while True:
        run.require(time.monotonic() < deadline, f"the entry window was not reached within {timeout:.0f} s; "
                                                 f"answered {seen}, shown {display.visible_titles()}")
        run.require(run.process.poll() is None, f"the program ended with {run.process.poll()} on its way to "
                                                f"the entry window; answered {seen}")
        shown = {}
        for title in (SPLASH, MAIN_MENU, ENTRY, *answers):
            for window in display.windows(title):
                shown[window] = title
        focused = display.focused()
        if focused in shown and focused not in handled:
            title = shown[focused]
            if title == ENTRY and len(display.windows(ENTRY)) == 1:
                # The entry window has the focus and nothing was put before it for a moment.
                steady = steady or time.monotonic()
                if time.monotonic() - steady > 0.8:
                    return seen
            else:
                steady = None
                keys = {SPLASH: ("Return",), MAIN_MENU: ("alt+g",)}.get(title) or answers[title]
                if title not in (SPLASH, MAIN_MENU, ENTRY):
                    seen.append(title)
                handled.add(focused)
                display.key(*keys)
        elif focused not in shown:
            steady = None
            # A window that is not one of ours took the focus: a message nobody expected.
            others = [t for t in display.visible_titles() if t not in (SPLASH, MAIN_MENU, ENTRY)]
            if others and not any(t in answers for t in others):
                time.sleep(0.3)
                raise Failure(f"unexpected window(s) {others} on the way to the entry window")
        time.sleep(0.05)


def write_checks(run, checks):
    """Types checks on the entry window; numbers follow the setup's next number and the pending ones."""
    before = len(pending(run))
    first = int(settings_values(run)[2]) + before
    return enter_checks(run, checks, first, records_before=before)


def open_print_dialog(run):
    """From the entry window's payee box: the print summary, then its Print Checks."""
    run.display.key("Tab", "Tab", "Tab", "Return")
    run.display.key("Return")


def check(payee, amount, memo="Kill"):
    return dict(payee=payee, keys=amount, amount=amount, memo=memo)


def cents(amount):
    whole, _, part = amount.partition(".")
    return int(whole or 0) * 100 + int((part + "00")[:2])


# Where each round's kill falls, measured from the Return that accepts the printer dialog.
KILL_POINTS = ("at once", "whole PDF", "random", "review up", "whole PDF", "random")


def kill_print(run, args):
    rng = random.Random(args.seed)
    print(f"kill-print: {args.rounds} rounds, seed {args.seed}", flush=True)
    write_settings(run, 5001)
    account_digits = re.sub(r"\D", "", ACCOUNT)
    written = {}         # payee -> cents of every check typed
    printed = {}         # payee -> number of whole PDFs showing it
    unresolved = False   # the journal held "printing" rows when the program was killed
    for number in range(args.rounds):
        point = KILL_POINTS[number % len(KILL_POINTS)]
        run.relaunch()
        answered = reach_entry(run)
        if number > 0:
            run.check(unresolved == (REVIEW in answered),
                      f"round {number}: the journal held an unresolved run: {unresolved}, but the review of "
                      f"printed checks was {'shown' if REVIEW in answered else 'not shown'} at the start "
                      f"(answered {answered})")
        checks = [check(f"Payee R{number:02d}{letter}", f"{number + 1}.{index + 1}5")
                  for index, letter in enumerate("AB")]
        write_checks(run, checks)
        written.update((c["payee"], cents(c["amount"])) for c in checks)
        pdf = os.path.join(run.root, "printed", f"round-{number:02d}.pdf")
        open_print_dialog(run)
        print_to_file(run, pdf, press=False)
        # The Return goes out on its own so that the kill can fall within the run it starts.
        presser = subprocess.Popen(["xdotool", "key", "Return"], env=run.display.env())
        accepted = time.monotonic()
        if point == "at once":
            time.sleep(rng.uniform(0, 0.03))
        elif point == "random":
            time.sleep(rng.uniform(0, args.span))
        elif point == "whole PDF":
            wait_until("the whole PDF", lambda: pdf_complete(pdf), timeout=20, interval=0.001)
        else:
            wait_until(f'the window "{REVIEW}"', lambda: run.display.windows(REVIEW), timeout=20, interval=0.01)
        run.kill()
        after = time.monotonic() - accepted
        presser.wait(timeout=10)
        text = pdf_text(pdf)
        for payee in written:
            if text is not None and payee in text:
                printed[payee] = printed.get(payee, 0) + 1
        rows = [row for row in journal_checks(run) if re.sub(r"\D", "", row["account_no"]) == account_digits]
        journaled = {row["payee"] for row in rows}
        waiting = {record["payee"] for record in pending(run)}
        unresolved = any(row["status"] == "printing" for row in rows)
        print(f"round {number:2d}: killed {point!r} after {after * 1000:6.1f} ms; whole PDF: {text is not None}; "
              f"printing rows: {unresolved}", flush=True)
        if text is not None:
            late = sorted(c["payee"] for c in checks if c["payee"] in text and c["payee"] not in journaled)
            run.check(not late, f"round {number}: {late} came out of the printer but the journal does not hold them")
        lost = sorted(payee for payee in written if payee not in journaled and payee not in waiting)
        run.check(not lost, f"round {number}: {lost} are neither pending nor in the journal")

    # A last start settles the last kill; then the program is closed the ordinary way.
    run.relaunch()
    answered = reach_entry(run)
    run.check(unresolved == (REVIEW in answered),
              f"after the last kill the journal held an unresolved run: {unresolved}, but the review was "
              f"{'shown' if REVIEW in answered else 'not shown'} (answered {answered})")
    run.close_program(leave_keeping_pending(run))

    rows = journal_checks(run)
    waiting = [record["payee"] for record in pending(run)]
    numbers = [(re.sub(r"\D", "", row["account_no"]), row["check_no"]) for row in rows]
    run.check(len(numbers) == len(set(numbers)),
              f"the journal holds a check number twice: {sorted(n for n in numbers if numbers.count(n) > 1)}")
    run.check(all(row["status"] != "printing" for row in rows), "runs are still unresolved after the last start")
    issued = [row["payee"] for row in rows if row["status"] == "issued"]
    for payee, amount in sorted(written.items()):
        held = issued.count(payee)
        run.check(held + waiting.count(payee) == 1,
                  f"{payee}: issued {held} time(s) in the journal and pending {waiting.count(payee)} time(s); "
                  "every check must be exactly one of them")
        run.check(printed.get(payee, 0) <= 1, f"{payee} came out of the printer {printed[payee]} times")
    for row in rows:
        run.check(row["amount_cents"] == written.get(row["payee"], row["amount_cents"]),
                  f"Check No. {row['check_no']} of {row['payee']} holds {row['amount_cents']} cents")
    next_no = int(settings_values(run)[2])
    highest = max((row["check_no"] for row in rows), default=0)
    run.check(next_no > highest, f"the setup's next check number {next_no} is not past the journal's {highest}")


def leave_keeping_pending(run):
    """Leaves the entry window keeping the pending checks: by the print summary's Cancel Print to
    the main menu, or with none pending by Menu to the splash window. Returns the window reached."""
    display = run.display
    display.wait_window(ENTRY)
    if pending(run):
        display.key("Tab", "Tab", "Tab", "Return")
        display.key("Tab", "Return")
        reached = MAIN_MENU
    else:
        display.key("alt+m")
        reached = SPLASH
    display.wait_window(reached)
    return reached


def options(parser):
    parser.add_argument("--rounds", type=int, default=12, help="print runs killed in kill-print")
    parser.add_argument("--span", type=float, default=0.15,
                        help="seconds after the printer dialog's Return within which a random kill falls")
    parser.add_argument("--seed", type=int, default=int(time.time()), help="the random kill moments' seed")


SCENARIOS = {"kill-print": kill_print}

if __name__ == "__main__":
    sys.exit(main(SCENARIOS, __doc__, options, launch=False))
