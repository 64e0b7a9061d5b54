#!/usr/bin/env python3
"""Several checkbooks through the real quillane program.

    checkbooks_road.py --program build/quillane --artifacts build/e2e --scenario two-books [--rounds N]

An installation of one checkbook opens as the first checkbook, nothing moved or written. A second
is added from the Checkbooks menu through the checkbook type panel (the first one's account is
refused, naming it); both get pending checks, the first is printed and the second stays byte for
byte. Then kill -9 during switches, adds and renames: both checkbooks stay whole every time.
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
                          reach_entry, settings_values, type_setup, write_checks)
from main_road import MAIN_MENU, REGISTER, SETTINGS, main, write_settings  # noqa: E402

LIST = "Checkbooks.txt"
FIRST = "Checkbook"
PAYROLL = "Payroll"


def folder_of(run, name):
    return run.folder if name == FIRST else run.path(os.path.join("Checkbooks", name))


def files_of(run, name):
    """A checkbook's settings file and register, byte for byte (None when missing)."""
    paths = [os.path.join(folder_of(run, name), file) for file in (SETTINGS, REGISTER)]
    return [open(path, "rb").read() if os.path.exists(path) else None for path in paths]


def listed(run):
    """The open checkbook's name and every name, as the list file holds them."""
    names = re.findall(r'"([^"]*)"', run.read(LIST).decode("utf-8"))
    return names[0], names[1:]


def folders(run):
    return sorted(name for name in os.listdir(run.path("Checkbooks")) if not name.startswith("."))


def menu(run, *keys, name=None):
    """The Checkbooks menu of the main menu window by its access keys; name answers the name dialog
    (its Return sent on its own, so that a kill can fall within what it starts)."""
    run.display.wait_window(MAIN_MENU)
    run.display.key("alt+b")
    time.sleep(0.4)
    run.display.key(*keys)
    if name is not None:
        wait_until("the checkbook name dialog", lambda: run.display.windows("Add Checkbook") or
                   run.display.windows("Rename Checkbook"))
        run.display.key("ctrl+a")
        run.display.type(name)
        subprocess.Popen(["xdotool", "key", "Return"], env=run.display.env()).wait(timeout=10)


@contextlib.contextmanager
def in_checkbook(run, name):
    """The run's file helpers read that checkbook's folder meanwhile."""
    saved, run.folder = run.folder, folder_of(run, name)
    try:
        yield
    finally:
        run.folder = saved


def two_books(run, args):
    write_settings(run, 2001)
    run.relaunch()
    reach_entry(run)
    write_checks(run, [check("Home Power", "61.20", "March")])
    leave_keeping_pending(run)
    run.check(not {LIST, "Checkbooks"} & set(os.listdir(run.folder)),
              f"an installation of one checkbook got new files: {sorted(os.listdir(run.folder))}")
    home = files_of(run, FIRST)

    # A second checkbook: Add, then the type panel's Create and the setup as on a first run; the
    # first one's account digits typed another way are refused.
    menu(run, "a", name=PAYROLL)
    run.display.wait_gone("Add Checkbook")
    run.display.wait_window(MAIN_MENU)
    with in_checkbook(run, PAYROLL):
        answered = type_setup(run, "0012 345678", 7001, from_menu=False)
        run.check(any(f'checkbook "{FIRST}"' in (text or "") for _, text in answered),
                  f'the first checkbook\'s account in the second: no message named "{FIRST}"; answered {answered}')
        run.check(not os.path.exists(run.path(SETTINGS)), "the clashing account was saved")
        # The account box has the focus again.
        run.display.key("ctrl+a")
        run.display.type("0099-000111")
        run.display.key("alt+a")
        wait_until("the second checkbook's settings", lambda: os.path.exists(run.path(SETTINGS)))
        reach_entry(run)
        write_checks(run, [check("Payroll Alice", "1500", "Week 1"), check("Payroll Bob", "1400.5", "Week 1")])
        leave_keeping_pending(run)
    payroll = files_of(run, PAYROLL)
    for path, mode in ((run.path("Checkbooks"), 0o700), (folder_of(run, PAYROLL), 0o700), (run.path(LIST), 0o600),
                       (os.path.join(folder_of(run, PAYROLL), REGISTER), 0o600)):
        run.check(stat.S_IMODE(os.stat(path).st_mode) == mode, f"{path} is not of mode {mode:04o}")
    run.check(files_of(run, FIRST) == home, "the second checkbook's setup or checks changed the first one's files")

    # The first checkbook again: its check prints, and the second one stays as it was.
    menu(run, "o", "1")
    wait_until("the first checkbook open", lambda: listed(run)[0] == FIRST)
    reach_entry(run)
    printed, answered = print_run(run, os.path.join(run.root, "printed", "home.pdf"))
    run.require(printed, f"the first checkbook's check did not print: {answered}")
    run.check(not pending(run) and settings_values(run)[2] == "2002",
              f"after its run the first checkbook has {pending(run)} pending, next number {settings_values(run)[2]}")
    run.check(files_of(run, PAYROLL) == payroll, "printing the first checkbook changed the second one's files")
    run.close_program(MAIN_MENU)
    rows = journal_checks(run)
    run.check([(row["payee"], row["account_digits"]) for row in rows] == [("Home Power", "0012345678")],
              f"the journal holds {[(row['payee'], row['account_digits']) for row in rows]}")
    kill_rounds(run, args, files_of(run, FIRST), payroll)


def whole(run, when, home, payroll):
    """The first checkbook in the program's folder and the second in one folder of Checkbooks,
    whatever its name now, each byte for byte."""
    run.check(files_of(run, FIRST) == home, f"{when}: the first checkbook is not whole")
    holding = [name for name in folders(run) if files_of(run, name) == payroll]
    run.check(len(holding) == 1, f"{when}: the second checkbook is whole in {holding} of {folders(run)}")


# What each round starts from the main menu before the kill.
ACTIONS = ("switch", "rename", "add", "switch")


def kill_rounds(run, args, home, payroll):
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
            menu(run, action[0], name=f"Book {number}")
        time.sleep(rng.uniform(0, 0.012))
        run.kill()
        print(f"round {number}: killed during {action}; list {listed(run)}, folders {folders(run)}", flush=True)
        whole(run, f"round {number} ({action})", home, payroll)
    # The next start opens a checkbook; the menu takes in the folders a kill left unlisted.
    run.relaunch()
    drive(run, (MAIN_MENU,))
    menu(run, "Escape")
    run.display.key("Escape")
    wait_until("the list to name every folder", lambda: set(listed(run)[1][1:]) == set(folders(run)), timeout=5)
    whole(run, "at the end", home, payroll)
    run.close_program(MAIN_MENU)


def options(parser):
    parser.add_argument("--rounds", type=int, default=8, help="kills during switches, adds and renames")
    parser.add_argument("--seed", type=int, default=int(time.time()), help="the random kill moments' seed")


if __name__ == "__main__":
    sys.exit(main({"two-books": two_books}, __doc__, options, launch=False))
