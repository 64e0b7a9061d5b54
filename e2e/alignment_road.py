#!/usr/bin/env python3
"""Printer Alignment on the real quillane program under a German locale, driven by keys.

    alignment_road.py --program build/quillane --artifacts build/e2e

The offset is typed with the locale's decimal comma; Escape on the unsaved-changes question keeps
the window; Save writes the file (with a point, owner-only); the test sheet goes through the real
printer dialog, which opens on the printer chosen in the window, into a PDF file that is read back:
every word on the page, the caption naming the offsets as saved. Screens are saved to the
artifacts folder as alignment-de.png and, on failure, alignment-failure.png.
"""

import os
import subprocess
import sys

sys.dont_write_bytecode = True
from desktop import run_scenario, wait_until  # noqa: E402
from main_road import MAIN_MENU, PRINT_DIALOG, SPLASH, collapse, settings_bytes  # noqa: E402

ALIGNMENT = "Printer Alignment"
ALIGNMENT_FILE = "Alignment.ini"
STYLE = "Deluxe Wallet-Size"


def pdf_words(pdf):
    output = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True, timeout=30)
    return output.stdout


def alignment_road(run):
    display = run.display
    display.wait_window(SPLASH)
    display.key("Return")
    display.wait_window(MAIN_MENU)
    display.menu("alt+s", "l")
    window = display.wait_window(ALIGNMENT)

    # The decimal comma is taken: no mark, no refusal.
    display.key("alt+h", "ctrl+a")
    display.type("0,1")
    display.key("alt+v", "ctrl+a")
    display.type("-0,05")
    os.makedirs(run.artifacts, exist_ok=True)
    display.screenshot(os.path.join(run.artifacts, "alignment-de.png"))

    # Escape asks Save / Discard / Cancel; Escape on that box is Cancel: the window stays.
    display.key("Escape")
    wait_until("the unsaved-changes question", lambda: display.focused() != window)
    display.key("Escape")
    run.require(display.wait_window(ALIGNMENT) == window, "Escape on the question closed the alignment window")
    run.require(not os.path.exists(run.path(ALIGNMENT_FILE)), "Cancel on the question wrote the file")

    display.key("alt+s")
    wait_until("the alignment file", lambda: os.path.exists(run.path(ALIGNMENT_FILE)))
    saved = run.read(ALIGNMENT_FILE).decode("utf-8")
    run.check("Horizontal=+0.10" in saved and "Vertical=-0.05" in saved,
              f"{ALIGNMENT_FILE} holds {saved!r}, expected the offsets +0.10 and -0.05 written with a point")
    run.check_private(ALIGNMENT_FILE)

    # The test sheet: the dialog opens on the window's printer (the PDF file here, no print server).
    display.key("alt+t")
    display.wait_window(PRINT_DIALOG)
    pdf = os.path.join(run.root, "printed", "sheet.pdf")
    os.makedirs(os.path.dirname(pdf))
    display.key("alt+f", "ctrl+a")
    display.type(pdf)
    display.key("Return")
    display.wait_gone(PRINT_DIALOG)
    # The file is whole once it ends with the PDF's end-of-file mark.
    wait_until("the test sheet", lambda: os.path.exists(pdf) and run.read(pdf).rstrip().endswith(b"%%EOF"))
    text = collapse(pdf_words(pdf))
    run.check(f"form: {STYLE} - offsets (saved): right +0.10 in, down -0.05 in" in text,
              f"the test sheet's caption does not name the saved offsets: {text[:400]!r}")
    run.check("Hold this sheet over a check form against the light" in text,
              f"the test sheet does not say how to use it: {text[:400]!r}")

    # Nothing changed since Save: Escape closes without a question.
    display.key("Escape")
    display.wait_gone(ALIGNMENT)
    display.wait_window(MAIN_MENU)


def main():
    def play(run, args):
        run.locale = "de_DE.UTF-8"
        with open(run.path("DraftMere.txt"), "wb") as settings:
            settings.write(settings_bytes("First Harbor Bank", "0012-345678", "1001", "3", STYLE))
        os.chmod(run.path("DraftMere.txt"), 0o600)
        run.relaunch()
        alignment_road(run)
    return run_scenario({"alignment": play}, __doc__, launch=False)


if __name__ == "__main__":
    sys.exit(main())
