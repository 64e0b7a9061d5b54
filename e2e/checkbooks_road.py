#!/usr/bin/env python3
"""Several checkbooks through the real quillane program.

    checkbooks_road.py --program build/quillane --artifacts build/e2e --scenario two-books [--rounds N]

An installation of one checkbook opens as the first checkbook with nothing moved or written. A
second checkbook is added from the Checkbooks menu through the first run's checkbook type panel;
its account may not be the first one's (the message names it). Both get pending checks, the first
is opened again and printed: the other's settings, register and numbers stay byte for byte. Then
the program is killed (kill -9) during switches, adds and renames, and each time both checkbooks
must be whole and the program must start on one of them.
"""

import contextlib
import os
import random
import re
import stat
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from desktop import wait_until  # noqa: E402
from journal_road import (check, drive, journal_checks, leave_keeping_pending, pending, print_run,  # noqa: E402
                          reach_entry, settings_values, write_checks)
from main_road import ACCOUNT, BANK, ENTRY, MAIN_MENU, REGISTER, SETTINGS, main, write_settings  # noqa: E402

LIST = "Checkbooks.txt"
FIRST = "Checkbook"
PAYROLL = "Payroll"
PAYROLL_ACCOUNT = "0099-000111"
PAYROLL_BANK = "Second Harbor Bank"


def folder_of(run, name):
    return run.folder if name == FIRST else run.path(os.path.join("Checkbooks", name))


def files_of(run, name):
    """The bytes of a checkbook's settings file and register (None when missing)."""
    found = {}
    for file in (SETTINGS, REGISTER):
        path = os.path.join(folder_of(run, name), file)
        found[file] = open(path, "rb").read() if os.path.exists(path) else None
    return found


def listed(run):
    """The open checkbook and every name, as the list file holds them; None without a list."""
    if not os.path.exists(run.path(LIST)):
        return None
    names = re.findall(r'"([^"]*)"', run.read(LIST).decode("utf-8"))
    return names[0], names[1:]


def menu(run, *keys):
    """The Checkbooks menu of the main menu window by its access keys."""
    run.display.wait_window(MAIN_MENU)
    run.display.key("alt+b")
    time.sleep(0.4)
    run.display.key(*keys)


def ask_name(run, title, name):
    run.display.wait_window(title)
    run.display.key("ctrl+a")
    run.display.type(name)
    run.display.key("Return")


def set_up(run, bank, account, check_no):
    """The check information panel, reached from the checkbook type panel by Create; returns the
    messages answered until the main menu."""
    display = run.display
    display.key("space")
    time.sleep(0.4)
    for index, text in enumerate((bank, account, "3", None, str(check_no))):
        if index:
            display.key("Tab")
        if text is not None:
            display.key("ctrl+a")
            display.type(text)
    display.key("alt+a")
    time.sleep(0.6)
    return drive(run, (MAIN_MENU,), settle=1.0)[1]


def open_checkbook(run, position):
    menu(run, "o", str(position))


def two_books(run, args):
    display = run.display
    # An installation of one checkbook, with a pending check, opens as it is.
    write_settings(run, 2001)
    run.relaunch()
    reach_entry(run)
    write_checks(run, [check("Home Power", "61.20", "March")])
    leave_keeping_pending(run)
    home = files_of(run, FIRST)
    run.check(not {LIST, "Checkbooks"} & set(os.listdir(run.folder)),
              f"an installation of one checkbook got new files: {sorted(os.listdir(run.folder))}")

    # A second checkbook, set up from the checkbook type panel; the first one's account is refused.
    menu(run, "a")
    ask_name(run, "Add Checkbook", PAYROLL)
    display.wait_window(MAIN_MENU)
    answered = set_up(run, PAYROLL_BANK, "0012 345678", 7001)
    run.check(any(f'checkbook "{FIRST}"' in (text or "") and "account" in (text or "") for _, text in answered),
              f"the same account's digits in a second checkbook: no message named \"{FIRST}\"; answered {answered}")
    run.check(not os.path.exists(os.path.join(folder_of(run, PAYROLL), SETTINGS)),
              "the clashing account was saved")
    display.key("ctrl+a")
    display.type(PAYROLL_ACCOUNT)
    display.key("alt+a")
    payroll_folder = folder_of(run, PAYROLL)
    wait_until("the second checkbook set up", lambda: os.path.exists(os.path.join(payroll_folder, SETTINGS)))
    drive(run, (MAIN_MENU,), settle=1.0)
    for path, mode in ((run.path("Checkbooks"), 0o700), (payroll_folder, 0o700), (run.path(LIST), 0o600),
                       (os.path.join(payroll_folder, SETTINGS), 0o600)):
        actual = stat.S_IMODE(os.stat(path).st_mode)
        run.check(actual == mode, f"{path} has mode {actual:04o}, expected {mode:04o}")
    run.check(files_of(run, FIRST) == home, "adding a checkbook changed the first one's files")

    # Pending checks in the second checkbook, in its own register.
    reach_entry(run)
    before = len(pending_in(run, PAYROLL))
    run.require(before == 0, "the new checkbook has pending checks of its own already")
    with in_checkbook(run, PAYROLL):
        write_checks(run, [check("Payroll Alice", "1500", "Week 1"), check("Payroll Bob", "1400.5", "Week 1")])
        leave_keeping_pending(run)
    payroll = files_of(run, PAYROLL)
    run.check(files_of(run, FIRST) == home, "checks of the second checkbook reached the first one's register")

    # The first checkbook again: its pending check is printed, the second one stays as it was.
    open_checkbook(run, 1)
    wait_until("the first checkbook open", lambda: (listed(run) or ("",))[0] == FIRST)
    reach_entry(run)
    printed, answered = print_run(run, os.path.join(run.root, "printed", "home.pdf"))
    run.require(printed, f"the first checkbook's check did not print: {answered}")
    run.check(not pending(run), "the first checkbook's check is still pending after its run")
    run.check(settings_values(run)[2] == "2002", f"the first checkbook's next number is {settings_values(run)[2]}")
    run.check(files_of(run, PAYROLL) == payroll, "printing the first checkbook changed the second one's files")
    run.close_program(MAIN_MENU)
    rows = journal_checks(run)
    payroll_digits = re.sub(r"\D", "", PAYROLL_ACCOUNT)
    run.check([row["payee"] for row in rows] == ["Home Power"],
              f"the journal holds {[row['payee'] for row in rows]} after printing the first checkbook alone")
    run.check(not [row for row in rows if row["account_digits"] == payroll_digits],
              "the second checkbook's account has numbers in the journal")

    kill_rounds(run, args, files_of(run, FIRST), payroll)


def pending_in(run, name):
    path = os.path.join(folder_of(run, name), REGISTER)
    return [] if not os.path.exists(path) else open(path, "rb").read()


@contextlib.contextmanager
def in_checkbook(run, name):
    """The run's file helpers read the folder of that checkbook meanwhile."""
    saved = run.folder
    run.folder = folder_of(run, name)
    try:
        yield
    finally:
        run.folder = saved


# What each round does from the main menu before the kill: open another checkbook, add one, rename
# the open one.
ACTIONS = ("switch", "rename", "add", "switch")


def folders(run):
    return sorted(name for name in os.listdir(run.path("Checkbooks")) if not name.startswith("."))


def whole(run, number, action, home, payroll):
    """Both checkbooks hold exactly their files: the first in the program's folder, the second in
    one folder of Checkbooks whatever its name now."""
    run.check(files_of(run, FIRST) == home, f"round {number} ({action}): the first checkbook is not whole")
    holding = [name for name in folders(run) if files_of(run, name) == payroll]
    run.check(len(holding) == 1, f"round {number} ({action}): the second checkbook is whole in {holding} of "
                                 f"{folders(run)}")


def kill_rounds(run, args, home, payroll):
    """kill -9 at a random moment of a switch, an add or a rename; after each, both checkbooks are
    whole and the program starts again on one of the checkbooks."""
    rng = random.Random(args.seed)
    print(f"kill rounds: {args.rounds}, seed {args.seed}", flush=True)
    for number in range(args.rounds):
        action = ACTIONS[number % len(ACTIONS)]
        run.relaunch()
        drive(run, (MAIN_MENU,))
        open_name, names = listed(run)
        if action == "switch":
            menu(run, "o", str((names.index(open_name) + 1) % len(names) + 1))
        else:
            menu(run, "a" if action == "add" else "r")
            title = "Add Checkbook" if action == "add" else "Rename Checkbook"
            run.display.wait_window(title)
            run.display.key("ctrl+a")
            run.display.type(f"Book {number}")
            # The Return goes out on its own so that the kill falls within what it starts.
            subprocess.Popen(["xdotool", "key", "Return"], env=run.display.env()).wait(timeout=10)
        time.sleep(rng.uniform(0, 0.012))
        run.kill()
        after = listed(run)
        print(f"round {number:2d}: killed during {action!r}; open {after[0]!r} of {after[1]}; folders "
              f"{folders(run)}", flush=True)
        whole(run, number, action, home, payroll)
    # The next start opens a checkbook whose folder is there; the menu takes in what a kill left.
    run.relaunch()
    drive(run, (MAIN_MENU,))
    menu(run, "Escape")
    time.sleep(0.3)
    run.display.key("Escape")
    open_name, names = listed(run)
    run.check(set(names[1:]) == set(folders(run)), f"the list {names} does not name the folders {folders(run)}")
    whole(run, "last", "start", home, payroll)
    run.close_program(MAIN_MENU)


def options(parser):
    parser.add_argument("--rounds", type=int, default=8, help="kills during switches, adds and renames")
    parser.add_argument("--seed", type=int, default=int(time.time()), help="the random kill moments' seed")


if __name__ == "__main__":
    sys.exit(main({"two-books": two_books}, __doc__, options, launch=False))
