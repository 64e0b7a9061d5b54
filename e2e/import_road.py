#!/usr/bin/env python3
"""Checks from a spreadsheet through the real quillane program.

    import_road.py --program build/quillane --artifacts build/e2e --scenario import [--rounds N]

A check is printed, another typed and accepted; then a CSV file of good and bad rows is imported
from the entry window: only the good rows reach the register, each byte for byte as Accept writes
it (the row repeating the typed check gives the same bytes bar its number), the row repeating the
printed check is left unticked, and the next check typed takes the number after the imported ones.
Then a file of 30,000 rows is imported from the main menu's Import Checks and the program is killed
with -9 while the register is being written (the moment its temporary file shows): the register
must hold the old records or the old ones and every imported row, nothing in between.
"""

import os
import shutil
import sys
import time

sys.dont_write_bytecode = True
from desktop import wait_until  # noqa: E402
from journal_road import (check, close_anywhere, drive, first_run, pending, reach_entry,  # noqa: E402
                          write_checks)
from main_road import ENTRY, MAIN_MENU, RECORD_LENGTH, REGISTER, main  # noqa: E402

IMPORT = "Import Checks"
IMPORTED = "Checks Imported"
# The register's new contents are written beside it under this name, then renamed over it.
TEMPORARY = "." + REGISTER + ".quillane-"

# Payee, amount, memo as the file holds them; what the register must keep, or None when refused.
ROWS = [
    ("Harbor Gas", "$1,234.56", "Fuel", ("Harbor Gas", "1234.56", "Fuel")),
    ("Quay Rent", "800", "May", ("Quay Rent", "800", "May")),
    ("Bad Amount", "12,34", "Refused", None),
    ("", "5.00", "No payee", None),
    ("Dock Fees", "$12.50", "June", None),  # printed before: unticked
    ("Zo\u00eb Caf\u00e9 Supplies And Sons Ltd", "1,000.00", "Cut payee",
     ("Zo\u00eb Caf\u00e9 Supplies And Son", "1000.00", "Cut payee")),
    ("Minus", "-3.00", "Refused", None),
    ("Tab \u2192 Arrow", "1.00", "Refused", None),
]


def csv_bytes(rows):
    lines = ["Payee,Amount,Memo"] + [",".join(f'"{cell}"' if "," in cell else cell for cell in row[:3])
                                     for row in rows]
    return ("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-8")


def import_file(run, path, picture=None, from_menu=False):
    """Opens Import Checks (the entry window's Import, or with from_menu the main menu's Checks
    menu), names the file and presses Return twice: the rows are shown, then imported."""
    display = run.display
    if from_menu:
        display.menu("alt+k", "i")
    else:
        display.key("alt+i")
    display.wait_window(IMPORT)
    display.type(path)
    display.key("Return")
    # The rows are shown once the table has the focus; Return then presses Import.
    time.sleep(1.0)
    if picture:
        os.makedirs(run.artifacts, exist_ok=True)
        display.screenshot(os.path.join(run.artifacts, picture))
    display.key("Return")
    return time.monotonic()


def expected_record(check_no, date, payee, amount, memo):
    fields = [(str(check_no), 20), (date, 10), (payee, 25), (amount, 15), (memo, 35), ("Printed", 10)]
    return b"".join(text.encode("cp1252").ljust(width) for text, width in fields)


def import_road(run, args):
    first_run(run, 1001, [check("Dock Fees", "12.50", "June")])
    run.relaunch()
    reach_entry(run)
    write_checks(run, [check("Harbor Gas", "1234.56", "Fuel")])
    typed = run.read(REGISTER)
    date = typed[20:30].decode()

    spreadsheet = os.path.join(run.root, "bills.csv")
    with open(spreadsheet, "wb") as f:
        f.write(csv_bytes(ROWS))
    import_file(run, spreadsheet, "import-preview.png")
    run.display.wait_window(IMPORTED)
    run.display.key("Return")
    good = [row[3] for row in ROWS if row[3]]
    wanted = typed + b"".join(expected_record(1003 + i, date, *fields) for i, fields in enumerate(good))
    stored = run.read(REGISTER)
    run.check(stored == wanted, f"the register after the import holds {pending(run)}, expected the typed check "
                                f"and {good} as Check Nos. 1003 to {1002 + len(good)}")
    run.check(stored[RECORD_LENGTH + 20:2 * RECORD_LENGTH] == typed[20:],
              "the imported Harbor Gas differs from the typed one beyond its check number")
    run.check_private(REGISTER)
    run.check_private("Import.ini")

    # The counters moved: the next typed check takes the number after the imported ones.
    run.display.wait_window(ENTRY)
    write_checks(run, [check("After Import", "7", "Next")])
    run.check(pending(run)[-1]["check_no"] == str(1003 + len(good)),
              f"the check typed after the import has number {pending(run)[-1]['check_no']}")
    close_anywhere(run)

    # 30,000 rows from the main menu, killed while the register is written.
    big = os.path.join(run.root, "many.csv")
    with open(big, "wb") as f:
        f.write(csv_bytes([(f"Payee {i}", f"{1 + i % 900}.{i % 100:02d}", f"Bill {i}") for i in range(30000)]))
    before = run.read(REGISTER)
    outcomes = []
    for round_no in range(args.rounds):
        with open(run.path(REGISTER), "wb") as f:
            f.write(before)
        for name in os.listdir(run.folder):
            if name.startswith(TEMPORARY):
                os.remove(run.path(name))
        run.relaunch()
        drive(run, (MAIN_MENU,))
        import_file(run, big, from_menu=True)
        # The worst moment: the register's new contents are being written beside it.
        wait_until("the register's temporary file or its new length",
                   lambda: any(name.startswith(TEMPORARY) for name in os.listdir(run.folder))
                   or os.path.getsize(run.path(REGISTER)) != len(before), timeout=60, interval=0.0005)
        run.kill()
        after = run.read(REGISTER)
        whole = len(before) + 30000 * RECORD_LENGTH
        outcome = "old" if after == before else "complete" if len(after) == whole and after.startswith(before) \
            else f"{len(after)} bytes"
        outcomes.append(outcome)
        run.check(outcome in ("old", "complete"), f"round {round_no + 1}: killed during the import, the register "
                                                  f"is {outcome}: neither the old {len(before)} bytes nor {whole}")
    print(f"  kill -9 during the import's write: {outcomes}", flush=True)

    # Not killed, the same import completes: every row, once, after the old records (a round may have
    # ended complete, so the old register is put back first).
    with open(run.path(REGISTER), "wb") as f:
        f.write(before)
    run.relaunch()
    reach_entry(run)
    run.check(run.read(REGISTER) == before, "after the kills and a restart the register is not the old one")
    pressed = import_file(run, big)
    run.display.wait_window(IMPORTED, timeout=60)
    print(f"  30,000 rows imported {time.monotonic() - pressed:.2f} s after Import was pressed", flush=True)
    after = run.read(REGISTER)
    run.check(len(after) == len(before) + 30000 * RECORD_LENGTH and after.startswith(before),
              f"the import of 30,000 rows left a register of {len(after)} bytes")
    run.display.key("Return")
    close_anywhere(run)


def options(parser):
    parser.add_argument("--rounds", type=int, default=3, help="imports killed during the register's write")


if __name__ == "__main__":
    sys.exit(main({"import": import_road}, __doc__, options, launch=False))
