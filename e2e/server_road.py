#!/usr/bin/env python3
"""The check journal moved to a PostgreSQL server through the real quillane program.

    server_road.py --program build/quillane --artifacts build/e2e

Needs the tests' server, named by QUILLANE_TEST_SERVER (CTest starts it). A program folder with one
printed check; the Journal page opened from the main menu by its keys: the server's host, port,
database and user typed, Test Connection, Move This Journal to the Server, Save. Then a check is
printed: both runs and checks are on the server with this computer's user and host name, and the
old journal file is kept read-only (0400) and unchanged.
"""

import hashlib
import os
import pwd
import re
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
from desktop import Failure, png, wait_until  # noqa: E402
from journal_road import (check, close_anywhere, drive, first_run, leave_keeping_pending, pending,  # noqa: E402
                          print_run, texts_naming, write_checks, write_settings)
from main_road import ENTRY, JOURNAL, MAIN_MENU, main  # noqa: E402

JOURNAL_PAGE = "Check Journal"
HISTORY = "Check History"


def test_server():
    text = os.environ.get("QUILLANE_TEST_SERVER", "")
    if not text:
        raise Failure("QUILLANE_TEST_SERVER is not set: run the road through CTest, which starts the server")
    return dict(pair.split("=", 1) for pair in text.split())


def psql(server, database, sql):
    done = subprocess.run(["psql", "-X", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-h", server["host"],
                           "-p", server["port"], "-U", server["user"], "-d", database, "-c", sql],
                          capture_output=True, text=True, timeout=30)
    if done.returncode != 0:
        raise Failure(f"psql {sql!r}: {done.stderr.strip()}")
    return [line.split("|") for line in done.stdout.strip().splitlines()]


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def box_after(run, *keys):
    """Presses keys and returns the message box they bring up, with its text."""
    display = run.display
    before = display.visible_ids()
    display.key(*keys)
    box = wait_until(f"a message box after {keys}", lambda: next(iter(display.visible_ids() - before), None),
                     timeout=30)
    text = display.message_text(box)
    print(f"  {' '.join(text.split())}", flush=True)
    return box, text


def close_box(run, box):
    """Return closes the box; the Check Journal page takes the keyboard again (no window manager
    gives it back)."""
    run.display.key("Return")
    wait_until("the message box to close", lambda: box not in run.display.visible_ids())
    run.display.wait_window(JOURNAL_PAGE)


def move_to_server(run, args):
    server = test_server()
    database = f"e2e_move_{os.getpid()}"
    psql(server, "postgres", f"CREATE DATABASE {database}")
    first_run(run, 1001, [check("Harbor Gas", "42.50", "Fuel")])

    run.relaunch()
    display = run.display
    drive(run, (MAIN_MENU,))
    # The menu bar's four captions (Help, Checks, Setup, Checkbooks) fit: nothing behind a "»".
    menu_window = display.wait_window(MAIN_MENU)
    items = display.menu_bar_items(menu_window)
    run.check(len(items) == 4, f"the main menu's bar shows {len(items)} captions, expected 4: {items}")
    setup = display.menu("alt+s")
    display.sync(menu_window)
    os.makedirs(run.artifacts, exist_ok=True)
    display.screenshot(os.path.join(run.artifacts, "main-menu.png"))
    with open(os.path.join(run.artifacts, "main-menu-setup.png"), "wb") as f:
        f.write(png(*display.capture(setup)))
    display.key("j")
    display.wait_window(JOURNAL_PAGE)
    display.key("alt+p")
    # The option is chosen a moment after its access key; the server's fields are enabled then.
    time.sleep(0.4)
    for key, value in (("alt+h", server["host"]), ("alt+o", server["port"]), ("alt+d", database),
                       ("alt+u", server["user"])):
        display.key(key)
        display.type(value)
    display.screenshot(os.path.join(run.artifacts, "journal-page.png"))

    box, text = box_after(run, "alt+t")
    run.check(text.startswith("Connected to database " + database), f"Test Connection said: {text}")
    close_box(run, box)
    _, text = box_after(run, "alt+m")
    run.check(database in text and "read-only" in text, f"the move's question said: {text}")
    # Yes closes the question; the report that follows is the next new box.
    box, text = box_after(run, "alt+y")
    kept = re.search(r"read-only as (.+)\.$", " ".join(text.split()))
    run.check("1 run and 1 check (42.50 in all)" in text and kept, f"the move's report said: {text}")
    run.require(kept and os.path.samefile(kept.group(1), run.path(JOURNAL)), f"the report names no kept file: {text}")
    moved = digest(run.path(JOURNAL))
    close_box(run, box)
    display.key("alt+s")
    display.wait_gone(JOURNAL_PAGE)
    display.wait_window(MAIN_MENU)
    drive(run, (ENTRY,))
    write_checks(run, [check("Pier Supply", "17.25", "Rope")])
    printed, answered = print_run(run, os.path.join(run.root, "printed", "server.pdf"))
    run.require(printed, f"the check after the move did not print: {answered}")
    run.close_program(MAIN_MENU)

    who = [pwd.getpwuid(os.geteuid()).pw_name, socket.gethostname()]
    rows = psql(server, database, "SELECT r.os_user, r.host, c.check_no, c.status, c.payee FROM checks c "
                                  "JOIN runs r ON r.id = c.run_id ORDER BY c.check_no")
    wanted = [who + ["1001", "issued", "Harbor Gas"], who + ["1002", "issued", "Pier Supply"]]
    run.check(rows == wanted, f"the server holds {rows}, expected {wanted}")
    mode = stat.S_IMODE(os.stat(run.path(JOURNAL)).st_mode)
    run.check(mode == 0o400, f"the kept journal file has mode {mode:o}, expected 400")
    run.check(digest(run.path(JOURNAL)) == moved, "the kept journal file changed after the move")


def journal_ini(server, database):
    return (f"[Journal]\nEngine=server\nService=\nHost={server['host']}\nPort={server['port']}\n"
            f"Database={database}\nUser={server['user']}\nSslMode=\n")


def approve_in_history(run, title_after):
    """Main menu, Checks, History; the status filter on "Awaiting approval", the first row, Approve.
    Returns the message the approval brought, or None."""
    display = run.display
    drive(run, (MAIN_MENU,))
    display.menu("alt+k", "s")
    history = display.wait_window(HISTORY)
    display.key("alt+s", "End")
    display.sync(history)
    # The list takes the keyboard from a click on its empty part; Home makes its first row current.
    geometry = dict(line.split("=", 1) for line in
                    display.run("xdotool", "getwindowgeometry", "--shell", str(history)).split())
    display.click(history, int(geometry["WIDTH"]) // 2, int(geometry["HEIGHT"]) * 2 // 3)
    display.key("Home")
    display.sync(history)
    os.makedirs(run.artifacts, exist_ok=True)
    with open(os.path.join(run.artifacts, f"history-approve-{title_after}.png"), "wb") as f:
        f.write(png(*display.capture(history)))
    before = display.visible_ids()
    display.key("alt+r")
    display.sync(history)
    # A refusal is a message box; an approval shows none (five seconds tell).
    try:
        box = wait_until("a message box after Approve", lambda: next(iter(display.visible_ids() - before), None),
                         timeout=5)
    except Failure:
        box = None
    text = display.message_text(box) if box else None
    if box:
        display.key("Return")
        wait_until("the message box to close", lambda: box not in display.visible_ids())
    display.close(display.wait_window(HISTORY))
    display.wait_gone(HISTORY)
    return text


def approval(run, args):
    """Checks above the account's limit wait for a second person: the run prints the rest and names
    the one held back; its writer cannot approve it; another operating-system user, on a program of
    their own against the same server, approves it in History; the next run prints it."""
    run.require(os.geteuid() == 0, "the approval road starts the second person's program as another user: run "
                                   "it as root (CTest under make test does)")
    server = test_server()
    database = f"e2e_approval_{os.getpid()}"
    psql(server, "postgres", f"CREATE DATABASE {database}")
    with open(run.path("Journal.ini"), "w") as f:
        f.write(journal_ini(server, database))
    os.chmod(run.path("Journal.ini"), 0o600)
    first_run(run, 1001, [check("Harbor Gas", "42.50", "Fuel")])
    psql(server, database, "INSERT INTO approval_limits(account_digits, above_cents) VALUES('0012345678', 50000)")

    run.relaunch()
    drive(run, (ENTRY,))
    write_checks(run, [check("Quay Rent", "800", "May"), check("Dock Fees", "12.50", "June")])
    printed, answered = print_run(run, os.path.join(run.root, "printed", "held.pdf"))
    run.require(printed, f"the run with a check held back did not print: {answered}")
    held = texts_naming(answered, "held back", "Quay Rent", "$800.00")
    run.check(held, f"no message names the check held back for approval: {answered}")
    rows = psql(server, database, "SELECT check_no, status, payee, requested_by FROM checks "
                                  "ORDER BY check_no NULLS LAST")
    me = pwd.getpwuid(os.geteuid()).pw_name
    wanted = [["1001", "issued", "Harbor Gas", ""], ["1002", "issued", "Dock Fees", ""],
              ["", "awaiting", "Quay Rent", me]]
    run.check(rows == wanted, f"after the first run the server holds {rows}, expected {wanted}")
    leave_keeping_pending(run)
    refused = approve_in_history(run, "refused")
    run.check(refused is not None and "cannot be approved by " + me in refused,
              f"the person who asked was not refused: {refused}")
    run.close_program(MAIN_MENU)

    # The second person: the user nobody, with a program folder and home of their own.
    other = tempfile.mkdtemp(prefix="quillane-e2e-approver-")
    folder, home = os.path.join(other, "program"), os.path.join(other, "home")
    os.makedirs(folder)
    os.makedirs(os.path.join(home, "runtime"), mode=0o700)
    shutil.copy2(run.path("quillane"), os.path.join(folder, "quillane"))
    with open(os.path.join(folder, "Journal.ini"), "w") as f:
        f.write(journal_ini(server, database))
    nobody = pwd.getpwnam("nobody")
    for root, dirs, files in os.walk(other):
        for name in [root] + [os.path.join(root, entry) for entry in dirs + files]:
            os.chown(name, nobody.pw_uid, nobody.pw_gid)
    os.chmod(os.path.join(folder, "Journal.ini"), 0o600)
    run.process = run.launch(run.log, append=True, user="nobody", folder=folder, home=home)
    try:
        approved = approve_in_history(run, "approved")
        run.check(approved is None, f"the second person's approval was refused: {approved}")
        run.close_program(MAIN_MENU)
    finally:
        shutil.rmtree(other, ignore_errors=True)
    rows = psql(server, database, "SELECT status, approved_by FROM checks WHERE payee = 'Quay Rent'")
    run.check(rows == [["approved", "nobody"]], f"after the approval the server holds {rows}")

    run.relaunch()
    drive(run, (ENTRY,))
    printed, answered = print_run(run, os.path.join(run.root, "printed", "approved.pdf"))
    run.require(printed, f"the approved check did not print: {answered}")
    run.close_program(MAIN_MENU)
    rows = psql(server, database, "SELECT check_no, status, requested_by, approved_by FROM checks "
                                  "WHERE payee = 'Quay Rent'")
    run.check(rows == [["1003", "issued", me, "nobody"]], f"the approved check is {rows} on the server")


def server_down(run, args):
    """No server where the journal's place points: the entry window still takes checks, and printing
    says which server could not be reached, before any printer dialog; nothing is lost."""
    server = test_server()
    gone = os.path.join(run.root, "no-server-here")
    with open(run.path("Journal.ini"), "w") as f:
        f.write(journal_ini(dict(server, host=gone), "office"))
    os.chmod(run.path("Journal.ini"), 0o600)
    write_settings(run, 1001)
    run.relaunch()
    drive(run, (ENTRY,))
    write_checks(run, [check("Harbor Gas", "42.50", "Fuel")])
    printed, answered = print_run(run, os.path.join(run.root, "printed", "down.pdf"))
    run.check(not printed, "the printer dialog came although the journal's server cannot be reached")
    run.check(texts_naming(answered, "database office on " + gone, "could not be reached"),
              f"no message names the server and why: {answered}")
    run.check(len(pending(run)) == 1, "the pending check was not kept")
    close_anywhere(run)


SCENARIOS = {"move-to-server": move_to_server, "approval": approval, "server-down": server_down}

if __name__ == "__main__":
    sys.exit(main(SCENARIOS, __doc__, launch=False))
