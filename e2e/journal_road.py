#!/usr/bin/env python3
"""The check journal as a person meets it through the real quillane program, and kill -9 across the
print run.

    journal_road.py --program build/quillane --artifacts build/e2e --scenario NAME [--rounds N] [--seed S]

kill-print prints round after round to PDF files and kills the program at a chosen moment of each
run: just after the printer dialog was accepted, at a random moment, the moment the whole PDF is
on disk, or while the review of the printed forms is up. After each restart the program must put
an unresolved run to the person before anything else, and across all rounds no check may be
lost, journaled twice, left both pending and issued, or come out of the printer twice.

The other scenarios each play one fault of the journal as a person meets it: reused-number,
backup-moved, review-escape, damaged-index, planted-link, full-disk (a small tmpfs; skipped with
its reason where none can be mounted), held-lock and dialog-locks. Message boxes are read by
selecting their text with the mouse. The journal is read with the sqlite3 module only while the
program is not running, from a copy, so the files stay as the program left them.
"""

import datetime
import hashlib
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
from main_road import (ACCOUNT, BANK, ENTRY, JOURNAL_FOLDER, MAIN_MENU, PRINT_DIALOG,  # noqa: E402
                       RECORD_LENGTH, REGISTER, REVIEW, SETTINGS, SPLASH, collapse, enter_checks, main,
                       print_to_file, write_settings)

JOURNAL = "CheckJournal.db"
ALREADY_PRINTED = "Checks Already Printed"


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


def drive(run, goals=(ENTRY,), answers=None, timeout=30.0, settle=0.8):
    """Plays the windows that come until one of goals holds the keyboard focus: Continue on the
    splash window, Goto on the menu, and Return (or answers[title]) on the review of printed forms
    and on every message box, whose text is read first. The entry window counts once it kept the
    focus for a moment with nothing put before it. Returns the goal reached and the [(title,
    text)] answered on the way (the review's text is None)."""
    display = run.display
    answers = answers or {}
    answered, handled = [], set()
    deadline = time.monotonic() + timeout
    steady = None
    while True:
        run.require(time.monotonic() < deadline, f"none of {goals} was reached within {timeout:.0f} s; answered "
                                                 f"{answered}, shown {display.visible_titles()}")
        run.require(run.process.poll() is None, f"the program ended with {run.process.poll()} on its way to "
                                                f"{goals}; answered {answered}")
        focused = display.focused()
        title = display.run("xdotool", "getwindowname", str(focused)).strip() if focused else ""
        # A box titled like the entry window is a message over another window.
        over_entry = title == ENTRY and display.is_transient(focused)
        if title in goals and not over_entry:
            if title != ENTRY:
                return title, answered
            steady = steady or time.monotonic()
            if time.monotonic() - steady > settle:
                return title, answered
        elif focused and focused not in handled and title and (title not in (ENTRY, PRINT_DIALOG) or over_entry):
            steady = None
            handled.add(focused)
            if title == SPLASH:
                display.key("Return")
            elif title == MAIN_MENU:
                display.key("alt+g")
            elif title == REVIEW and len(display.windows(REVIEW)) == 1:
                answered.append((REVIEW, None))
                display.key(*answers.get(REVIEW, ("Return",)))
            elif focused in display.visible_ids():
                answered.append((title, display.message_text(focused)))
                print(f"  answered {title!r}: {collapse(answered[-1][1])}", flush=True)
                display.key(*answers.get(title, ("Return",)))
        else:
            steady = None
            # Without a window manager nothing gives the focus back when a box closes.
            alone = [window for goal in goals for window in display.windows(goal)]
            if focused not in alone and len(alone) == 1 and len(display.visible_ids()) <= 2:
                display.run("xdotool", "windowfocus", str(alone[0]))
        time.sleep(0.05)


def reach_entry(run, answers=None):
    """From the program's start to the entry window; returns the titles answered on the way."""
    return [title for title, _ in drive(run, (ENTRY,), answers)[1]]


def write_checks(run, checks, journal_next=0):
    """Types checks on the entry window; numbers follow the higher of the setup's next number and
    the journal's next one for the account (journal_next: its highest plus one), then the pending ones."""
    before = len(pending(run))
    first = max(int(settings_values(run)[2]), journal_next) + before
    return enter_checks(run, checks, first, records_before=before)


def open_print_summary(run):
    """PrintChecks on the entry window by its access key; the summary's Print Checks takes the focus."""
    run.display.key("alt+p")
    # The access key clicks after a short delay; keys sent meanwhile would reach the panel left.
    time.sleep(0.6)


def open_print_dialog(run):
    open_print_summary(run)
    run.display.key("Return")


def check(payee, amount, memo="Kill"):
    return dict(payee=payee, keys=amount, amount=amount, memo=memo)


def cents(amount):
    whole, _, part = amount.partition(".")
    return int(whole or 0) * 100 + int((part + "00")[:2])


# Where each round's kill falls, measured from the Return that accepts the printer dialog.
KILL_POINTS = ("at once", "whole PDF", "random", "review up", "whole PDF", "random")


def kill_print(run, args):
    """Each round writes two checks, prints every pending check to a PDF file and is killed at one
    of KILL_POINTS; the next start must put a run the journal holds as printing to the person.
    After each kill nothing that came out is missing from the journal and nothing is lost; at the
    end every check is exactly once issued or pending and came out at most once."""
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
        text = count_printed(printed, written, pdf)
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
    check_agreement(run, written, printed)


def check_agreement(run, written, printed):
    """With the program ended: every check written is exactly once either issued in the journal or
    pending, whatever came out of a printer is issued and came out once, no number is journaled
    twice or left unresolved, and the setup's next number lies past the journal's."""
    rows = journal_checks(run)
    waiting = [record["payee"] for record in pending(run)]
    numbers = [(re.sub(r"\D", "", row["account_no"]), row["check_no"]) for row in rows]
    run.check(len(numbers) == len(set(numbers)),
              f"the journal holds a check number twice: {sorted(n for n in numbers if numbers.count(n) > 1)}")
    run.check(all(row["status"] != "printing" for row in rows), "runs are still unresolved after the last start")
    issued = [row["payee"] for row in rows if row["status"] == "issued"]
    for payee in sorted(written):
        held = issued.count(payee)
        run.check(held + waiting.count(payee) == 1,
                  f"{payee}: issued {held} time(s) in the journal and pending {waiting.count(payee)} time(s); "
                  "every check must be exactly one of them")
        run.check(printed.get(payee, 0) <= 1, f"{payee} came out of the printer {printed.get(payee)} times")
        run.check(held == 1 or not printed.get(payee), f"{payee} came out of the printer but is not issued")
    for row in rows:
        run.check(row["amount_cents"] == written.get(row["payee"], row["amount_cents"]),
                  f"Check No. {row['check_no']} of {row['payee']} holds {row['amount_cents']} cents")
    next_no = int(settings_values(run)[2])
    highest = max((row["check_no"] for row in rows), default=0)
    run.check(next_no > highest, f"the setup's next check number {next_no} is not past the journal's {highest}")


def count_printed(printed, written, pdf):
    """Counts the written checks a whole PDF shows."""
    text = pdf_text(pdf)
    for payee in written:
        if text is not None and payee in text:
            printed[payee] = printed.get(payee, 0) + 1
    return text


def full_disk(run, args):
    """Fault 7: runs on a nearly full disk, a few pages left, through the real file system (a small
    tmpfs holding the program's folder). Whatever prints is journaled, at once or after a restart
    with room; nothing is lost."""
    tiny = os.path.join(run.root, "tiny")
    os.makedirs(tiny)
    size = os.path.getsize(run.path("quillane")) + (8 << 20)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0755", "tmpfs", tiny],
                             capture_output=True, text=True)
    if mounted.returncode != 0:
        print(f"full-disk: SKIPPED, a small file system cannot be mounted here: {mounted.stderr.strip()}")
        return
    try:
        folder = os.path.join(tiny, "program")
        os.makedirs(folder)
        shutil.copy2(run.path("quillane"), folder)
        run.folder = folder
        write_settings(run, 4001)
        written, printed = {}, {}
        filler = os.path.join(tiny, "filler")
        for number, pages in enumerate(args.free_pages):
            run.relaunch()
            drive(run, (ENTRY,))
            checks = [check(f"Disk {number}{letter}", f"{number + 1}.75", "D") for letter in "AB"]
            write_checks(run, checks)
            written.update((c["payee"], cents(c["amount"])) for c in checks)
            fill(filler, pages)
            pdf = os.path.join(run.root, "printed", f"disk-{number}.pdf")
            went, answered = print_run(run, pdf)
            print(f"  {pages} free pages: printed {went}, messages {[title for title, _ in answered]}", flush=True)
            close_anywhere(run)
            os.remove(filler)
            count_printed(printed, written, pdf)
        run.relaunch()
        drive(run, (ENTRY,))
        run.close_program(leave_keeping_pending(run))
        check_agreement(run, written, printed)
    finally:
        if run.process and run.process.poll() is None:
            run.kill()
        subprocess.run(["umount", "-l", tiny], capture_output=True)


def held_lock(run, args):
    """Fault 4: another program opens the journal and holds a write lock on it while the printer
    dialog is up, and lets go a few seconds after the checks printed. The printed checks are
    journaled all the same: the program's lock keeps the other out, or its answer waits."""
    write_settings(run, 3001)
    run.relaunch()
    reach_entry(run)
    checks = [check(f"Locked {letter}", "9.95", "H") for letter in "AB"]
    write_checks(run, checks)
    open_print_dialog(run)
    run.display.wait_window(PRINT_DIALOG)
    other = sqlite3.connect(journal_path(run), timeout=0, isolation_level=None)
    try:
        try:
            other.execute("BEGIN IMMEDIATE")
            held = True
        except sqlite3.OperationalError as error:
            held = False
            print(f"  the other program could not lock the journal: {error}", flush=True)
        pdf = os.path.join(run.root, "printed", "locked.pdf")
        print_to_file(run, pdf)
        # Longer than the program waits for a lock before it gives up.
        time.sleep(3)
        if held:
            other.execute("ROLLBACK")
    finally:
        other.close()
    drive(run, (MAIN_MENU, ENTRY), settle=2.0)
    close_anywhere(run)
    run.relaunch()
    drive(run, (ENTRY,))
    run.close_program(leave_keeping_pending(run))
    printed = {}
    count_printed(printed, {c["payee"] for c in checks}, pdf)
    check_agreement(run, {c["payee"]: cents(c["amount"]) for c in checks}, printed)


def journal_locks(run):
    """The locks /proc/locks shows on the journal and its -wal and -shm files."""
    inodes = set()
    for suffix in ("", "-wal", "-shm"):
        try:
            stats = os.stat(journal_path(run) + suffix)
            inodes.add(f"{os.major(stats.st_dev):02x}:{os.minor(stats.st_dev):02x}:{stats.st_ino}")
        except FileNotFoundError:
            pass
    with open("/proc/locks") as f:
        return [line.strip() for line in f if inodes & {field for field in line.split() if field.count(":") == 2}]


def dialog_locks(run, args):
    """Fault 3: the printer dialog's file chooser, opened on the journal's folder, lists the journal's
    files; the program's locks on the journal stay held all the while."""
    first_run(run, 2001, [check("Harbor Gas", "45.10", "Fuel")])
    run.relaunch()
    reach_entry(run)
    write_checks(run, [check("Dialog Look", "1.10", "L")])
    open_print_dialog(run)
    printer_dialog = run.display.wait_window(PRINT_DIALOG)
    held = journal_locks(run)
    run.require(held, "the program holds no lock on its journal while the printer dialog is up")
    # The output file box, then the chooser beside it, sent to the journal's folder.
    run.display.key("alt+n", "End", "alt+f", "Tab", "space")
    wait_until("the file chooser", lambda: run.display.focused() not in (printer_dialog, 0), timeout=10)
    run.display.type(os.path.dirname(journal_path(run)) + "/")
    run.display.key("Return")
    time.sleep(1.5)
    after = journal_locks(run)
    run.check(len(after) >= len(held), f"the file chooser on the journal's folder dropped the program's locks on "
                                       f"the journal: {held} became {after}")
    # Escape closes the chooser's completion list first, then the chooser, then the printer dialog.
    wait_until("the printer dialog to close", lambda: run.display.key("Escape") or
               (time.sleep(0.5), not run.display.windows(PRINT_DIALOG))[1], timeout=10)
    close_anywhere(run)


def fill(path, pages):
    """Fills the file system of path until only that many pages are free."""
    stats = os.statvfs(os.path.dirname(path))
    with open(path, "wb") as f:
        f.write(b"\0" * max(0, stats.f_bavail * stats.f_frsize - pages * 4096))


def print_run(run, pdf, answers=None):
    """Print Checks from the entry window's payee box: through the printer dialog to a PDF file
    when the dialog comes, answering what follows until the main menu (or the entry window when the
    run was stopped before the dialog). Returns whether the dialog came and the [(title, text)]
    answered."""
    open_print_dialog(run)
    reached, answered = drive(run, (PRINT_DIALOG, ENTRY), answers, settle=2.0)
    if reached == ENTRY:
        return False, answered
    print_to_file(run, pdf)
    run.display.wait_gone(PRINT_DIALOG)
    reached, more = drive(run, (MAIN_MENU, ENTRY), answers, settle=2.0)
    return True, answered + more


def close_anywhere(run):
    """Ends the program by its close box from where it stands, pending checks kept."""
    shown = run.display.visible_titles()
    if ENTRY in shown:
        reached = leave_keeping_pending(run)
    else:
        reached = MAIN_MENU if MAIN_MENU in shown else SPLASH
    run.close_program(reached)


def texts_naming(answered, *words):
    """The texts of the messages answered that name every one of words (case ignored)."""
    return [text for _, text in answered if text and all(w.lower() in text.lower() for w in words)]


def today_texts():
    """Today's date as a message may write it."""
    today = datetime.date.today()
    return {today.strftime("%m/%d/%Y"), today.isoformat(), today.strftime("%-m/%-d/%Y")}


def briefly(rows):
    return [(row["check_no"], row["status"], row["payee"]) for row in rows]


def journal_sql(run, *statements):
    """Changes the journal file as another program would, while quillane is not running."""
    run.require(run.process is None or run.process.poll() is not None, "the program still runs")
    with sqlite3.connect(journal_path(run)) as db:
        for statement, values in statements:
            db.execute(statement, values)
    db.close()


def first_run(run, check_no, checks, backup=False):
    """Starts the program on a fresh setup, writes checks, copies the register into Backup when
    asked, prints them all well and closes the program."""
    write_settings(run, check_no)
    run.relaunch()
    reach_entry(run)
    write_checks(run, checks)
    if backup:
        copy_to_backup(run)
    printed, answered = print_run(run, os.path.join(run.root, "printed", f"first-{check_no}.pdf"))
    run.require(printed and not pending(run), f"the first run of {len(checks)} checks did not print: {answered}")
    run.close_program(MAIN_MENU)


def copy_to_backup(run):
    os.makedirs(run.path("Backup"), mode=0o700, exist_ok=True)
    shutil.copy2(run.path(REGISTER), run.path(os.path.join("Backup", REGISTER)))


def reused_number(run, args):
    """Fault 1: a number the journal holds in any status, on the account's digits however typed, is
    refused before the printer dialog, naming the number, its status and date and the next free one."""
    first_run(run, 1001, [check("Harbor Gas", "45.10", "Fuel"), check("Quay Rent", "800", "May"),
                          check("Dock Fees", "12.5", "June")])
    today = datetime.date.today().isoformat()
    journal_sql(run, ("UPDATE checks SET status = 'voided', void_reason = ?, void_date = ? WHERE check_no = ?",
                      ("Lost in mail, stop payment", today, 1002)))
    before = journal_checks(run)
    cases = [("a voided number typed in the setup", "setup", ACCOUNT, 1002, "voided"),
             ("a voided number", "print", ACCOUNT, 1002, "voided"),
             ("the account typed with a blank", "print", "0012 345678", 1001, "issued")]
    for name, where, account, number, status in cases:
        if where == "setup":
            stored = write_settings(run, 1004)
            run.relaunch()
            printed, answered = False, type_setup(run, account, number)
            run.check(run.read(SETTINGS) == stored, f"{name}: the setup took Check No. {number}")
        else:
            write_settings(run, number, account=account)
            run.relaunch()
            reach_entry(run)
            # The entry window goes on after the journal's highest number, 1003.
            write_checks(run, [check("Second Payment", "45.10", "Fuel")], journal_next=1004)
            printed, answered = print_run(run, os.path.join(run.root, "printed", f"reuse-{number}.pdf"))
            run.check(not printed, f"{name}: Check No. {number} went to the printer although the journal holds it")
        named = texts_naming(answered, str(number), status, "1004")
        run.check(any(any(day in text for day in today_texts()) for text in named),
                  f"{name}: no message names Check No. {number}, its status {status!r}, its date and the next "
                  f"free number 1004; answered {answered}")
        close_anywhere(run)
        after = journal_checks(run)
        run.check(after == before, f"{name}: the journal changed: {briefly(before)} became {briefly(after)}")


def type_setup(run, account, check_no, from_menu=True):
    """The checkbook setup from the main menu (Create Checkbook, Goto, Create; or from the checkbook
    type panel shown), each field typed anew, then Accept; returns the messages answered until the
    main menu is back."""
    display = run.display
    if from_menu:
        drive(run, (MAIN_MENU,))
        display.key("alt+c")
        time.sleep(0.4)
        display.key("alt+g")
        time.sleep(0.6)
    display.key("space")
    time.sleep(0.4)
    for index, text in enumerate((BANK, account, "3", None, str(check_no))):
        if index:
            display.key("Tab")
        if text is not None:
            display.key("ctrl+a")
            display.type(text)
    display.key("alt+a")
    time.sleep(0.6)
    return drive(run, (MAIN_MENU,), settle=1.0)[1]


def backup_moved(run, args):
    """Fault 2: a Backup copy of the register whose checks printed under other numbers is set aside by
    content; the same payee and amount written again after the run is not."""
    gas, rent = check("Harbor Gas", "45.10", "Fuel"), check("Quay Rent", "800", "May")
    write_settings(run, 6001)
    run.relaunch()
    reach_entry(run)
    write_checks(run, [gas, rent])
    copy_to_backup(run)
    leave_keeping_pending(run)
    run.close_program(MAIN_MENU)
    # As the "already issued" message advises: the next number moves to the first blank form.
    write_settings(run, 6005)
    run.relaunch()
    reach_entry(run)
    printed, answered = print_run(run, os.path.join(run.root, "printed", "6005.pdf"))
    run.require(printed and not pending(run), f"the run at 6005 did not print: {answered}")
    # The entry window again: the copy in Backup comes back, and its checks were printed.
    reached, answered = drive(run, (ENTRY,))
    run.check(ALREADY_PRINTED in [title for title, _ in answered],
              f'the Backup copy of 6001/6002 came back without "{ALREADY_PRINTED}"; answered {answered}')
    run.check(not pending(run), f"the checks printed as 6005/6006 wait to print again: {pending(run)}")
    if pending(run):
        return close_anywhere(run)
    # Written again on purpose after the run: printed without a question.
    write_checks(run, [gas])
    printed, answered = print_run(run, os.path.join(run.root, "printed", "again.pdf"))
    run.check(printed and ALREADY_PRINTED not in [title for title, _ in answered],
              f"a check written again after the run was not printed plainly: printed {printed}, answered {answered}")
    close_anywhere(run)
    issued = sorted((row["check_no"], row["payee"]) for row in journal_checks(run) if row["status"] == "issued")
    run.check(issued == [(6005, "Harbor Gas"), (6006, "Quay Rent"), (6007, "Harbor Gas")],
              f"the journal's issued checks are {issued}")


def review_escape(run, args):
    """Fault 5: Escape or the close box of the review, with a form marked spoiled, asks whether the
    marks stand; an untouched review still means all printed well."""
    write_settings(run, 7001)
    cases = [("Escape", True), ("close box", True), ("Escape", False)]
    for number, (how, mark) in enumerate(cases):
        run.relaunch()
        reach_entry(run)
        write_checks(run, [check(f"Review {number}{letter}", f"{number + 1}.25", "R") for letter in "AB"])
        # The run prints these and the form spoiled in the run before, from the setup's next number on.
        first = int(settings_values(run)[2])
        open_print_dialog(run)
        print_to_file(run, os.path.join(run.root, "printed", f"review-{number}.pdf"))
        review = run.display.wait_window(REVIEW)
        if mark:
            # From OK back to the list of forms; S marks the form at hand spoiled.
            run.display.key("shift+Tab", "s")
        if how == "Escape":
            run.display.key("Escape")
        else:
            run.display.close(review)
        time.sleep(0.7)
        focused = run.display.focused()
        asked = focused and focused != review and run.display.windows(REVIEW)
        what = f"{how} on the review {'with a form marked spoiled' if mark else 'untouched'}"
        run.check(bool(asked) == mark, f"{what}: {'a question' if asked else 'no question'} came")
        if asked:
            run.display.key("y")
            wait_until("the question to close", lambda: focused not in run.display.visible_ids())
        drive(run, (MAIN_MENU, ENTRY), settle=2.0)
        close_anywhere(run)
        rows = [row for row in journal_checks(run) if row["check_no"] >= first]
        kept = [row["payee"] for row in rows if row["status"] != "issued"]
        requeued = [record["payee"] for record in pending(run)]
        if mark:
            run.check(len(kept) == 1 and kept[0] in requeued,
                      f"{what}: the spoiled form was not recorded: journal {briefly(rows)}, pending {requeued}")
        else:
            run.check(not kept and not requeued, f"{what}: not all forms stand as printed well: {briefly(rows)}")


def damage_indexes(run):
    """Overwrites the pages of the journal's check-number index with garbage, as a bad sector
    would; the table itself stays readable."""
    path = journal_path(run)
    with sqlite3.connect(path) as db:
        db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        page_size = db.execute("PRAGMA page_size").fetchone()[0]
        indexes = db.execute("SELECT name, rootpage, sql FROM sqlite_master WHERE type = 'index' AND "
                             "tbl_name = 'checks' AND rootpage > 0").fetchall()
        # The index on the check number alone, which the lookup of printed checks reads; every
        # index of the table when there is no such index.
        roots = [root for name, root, sql in indexes if re.search(r"\(\s*check_no\s*\)", sql or "")]
        roots = roots or [root for _, root, _ in indexes]
    db.close()
    run.require(roots, "the journal's checks table has no index to damage")
    with open(path, "r+b") as f:
        for root in roots:
            f.seek((root - 1) * page_size)
            f.write(bytes([0x5A]) * page_size)
    return len(roots)


def damaged_index(run, args):
    """Fault 8: with the journal's indexes damaged, the lookup of checks printed before cannot answer;
    the Backup copy of printed checks must not print again on a guess, and a message names the
    journal."""
    first_run(run, 8001, [check("Harbor Gas", "45.10", "Fuel"), check("Quay Rent", "800", "May")], backup=True)
    print(f"  damaged {damage_indexes(run)} index(es)", flush=True)
    run.relaunch()
    _, answered = drive(run, (ENTRY,))
    if pending(run):
        # Not set aside: the journal could not answer, and must say so rather than print on a guess.
        printed, more = print_run(run, os.path.join(run.root, "printed", "again.pdf"))
        run.check(not printed, "the checks of the Backup copy, printed as 8001/8002, went to the printer again "
                               "on a journal that could not say whether they were printed")
        answered += more
        run.check(texts_naming(answered, JOURNAL), f"no message named the journal {JOURNAL}; answered {answered}")
    else:
        run.check(ALREADY_PRINTED in [title for title, _ in answered],
                  f"the Backup copy was dropped without a word; answered {answered}")
    close_anywhere(run)


def file_digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def planted_link(run, args):
    """A symbolic link planted in place of the settings file or the journal is refused with a message
    naming the file; what it points at is left as it was, and nothing prints through it."""
    outside = os.path.join(run.root, "outside")
    os.makedirs(outside, mode=0o700)
    first_run(run, 9001, [check("Harbor Gas", "45.10", "Fuel")])
    cases = [(SETTINGS, lambda: run.path(SETTINGS)), (JOURNAL, lambda: journal_path(run))]
    for number, (name, place) in enumerate(cases):
        path = place()
        if name == JOURNAL:
            with sqlite3.connect(path) as db:
                db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
            db.close()
        target = os.path.join(outside, f"{number}-{name}")
        shutil.move(path, target)
        os.symlink(target, path)
        digest = file_digest(target)
        run.relaunch()
        _, answered = drive(run, (MAIN_MENU,))
        # Refused at the start, the program asks for a new setup; else it goes on through the link.
        if not texts_naming(answered, name):
            answered += drive(run, (ENTRY,))[1]
            write_checks(run, [check(f"Linked {number}", "3.10", "L")])
            printed, more = print_run(run, os.path.join(run.root, "printed", f"link-{number}.pdf"))
            answered += more
            if name == JOURNAL:
                run.check(not printed, f"checks went to the printer with a link in place of the journal {path}")
        close_anywhere(run)
        run.check(texts_naming(answered, name), f"a link in place of {name}: no message named it; answered {answered}")
        run.check(file_digest(target) == digest, f"the file a link in place of {name} points at was changed")
        # The person puts the file back in place of the link (a file the program put there instead
        # is the newer one).
        if os.path.islink(path):
            os.remove(path)
            shutil.move(target, path)


def leave_keeping_pending(run):
    """Leaves the entry window keeping the pending checks: by the print summary's Cancel Print to
    the main menu, or with none pending by Menu to the splash window. Returns the window reached."""
    display = run.display
    display.wait_window(ENTRY)
    if pending(run):
        open_print_summary(run)
        display.key("Tab", "Return")
        reached = MAIN_MENU
    else:
        display.key("alt+m")
        reached = SPLASH
    display.wait_window(reached)
    return reached


def options(parser):
    parser.add_argument("--rounds", type=int, default=12, help="print runs killed in kill-print")
    parser.add_argument("--free-pages", type=int, nargs="+", default=[1, 4, 8, 12, 16, 24],
                        help="pages left free on the disk for each run of full-disk")
    parser.add_argument("--span", type=float, default=0.15,
                        help="seconds after the printer dialog's Return within which a random kill falls")
    parser.add_argument("--seed", type=int, default=int(time.time()), help="the random kill moments' seed")


SCENARIOS = {"kill-print": kill_print, "reused-number": reused_number, "backup-moved": backup_moved,
             "review-escape": review_escape, "damaged-index": damaged_index, "planted-link": planted_link,
             "full-disk": full_disk, "held-lock": held_lock, "dialog-locks": dialog_locks}

if __name__ == "__main__":
    sys.exit(main(SCENARIOS, __doc__, options, launch=False))
