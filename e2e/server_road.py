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
import socket
import stat
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from desktop import Failure, png, wait_until  # noqa: E402
from journal_road import check, drive, first_run, print_run, write_checks  # noqa: E402
from main_road import ENTRY, JOURNAL, MAIN_MENU, main  # noqa: E402

JOURNAL_PAGE = "Check Journal"


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


SCENARIOS = {"move-to-server": move_to_server}

if __name__ == "__main__":
    sys.exit(main(SCENARIOS, __doc__, launch=False))
