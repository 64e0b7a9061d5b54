#!/usr/bin/env python3
"""Printer Alignment on the real quillane program under a German locale, driven by keys.

    alignment_road.py --program build/quillane --artifacts build/e2e

The offset is typed with the locale's decimal comma; Escape on the unsaved-changes question keeps
the window; Save writes the file (with a point, owner-only); the test sheet goes through the real
printer dialog, which opens on the printer chosen in the window, into a PDF file that is read back:
every word on the page, the caption naming the offsets as saved. Screens are saved to the
artifacts folder as alignment-de.png and, on failure, alignment-failure.png.
"""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from desktop import Failure, missing_tools, wait_until  # noqa: E402
from main_road import MAIN_MENU, PRINT_DIALOG, SPLASH, Run, collapse, settings_bytes  # noqa: E402

ALIGNMENT = "Printer Alignment"
ALIGNMENT_FILE = "Alignment.ini"
STYLE = "Deluxe Wallet-Size"


def german_launch(run):
    """Starts the copy under de_DE: Run.launch's environment with the locale replaced."""
    env = {key: value for key, value in os.environ.items()
           if not key.startswith(("QT_", "XDG_", "WAYLAND", "DBUS_", "LC_", "LANG"))}
    env.update(DISPLAY=run.display.name, QT_QPA_PLATFORM="xcb", HOME=run.home, XDG_RUNTIME_DIR=run.runtime,
               XDG_CONFIG_HOME=os.path.join(run.home, ".config"), LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8",
               CUPS_SERVER=os.path.join(run.root, "no-print-server.sock"),
               PATH=run.stubs + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"), NO_AT_BRIDGE="1")
    with open(run.log, "wb") as log:
        return subprocess.Popen([run.path("quillane")], cwd=run.folder, env=env, stdout=log,
                                stderr=subprocess.STDOUT)


def pdf_words(pdf):
    output = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True, timeout=30)
    return output.stdout


def alignment_road(run):
    display = run.display
    display.wait_window(SPLASH)
    display.key("Return")
    display.wait_window(MAIN_MENU)
    display.key("alt+l")
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
    wait_until("the test sheet", lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 0)
    time.sleep(0.5)
    text = collapse(pdf_words(pdf))
    run.check(f"style: {STYLE} - offsets (saved): right +0.10 in, down -0.05 in" in text,
              f"the test sheet's caption does not name the saved offsets: {text[:400]!r}")
    run.check("Hold this sheet over a check form against the light" in text,
              f"the test sheet does not say how to use it: {text[:400]!r}")

    # Nothing changed since Save: Escape closes without a question.
    display.key("Escape")
    display.wait_gone(ALIGNMENT)
    display.wait_window(MAIN_MENU)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    missing = missing_tools()
    if missing:
        print(f"Missing tools: {', '.join(missing)}. Install the Makefile's PACKAGES (make deps).")
        return 1
    started = time.monotonic()
    run = Run(os.path.abspath(args.program), os.path.abspath(args.artifacts), "alignment")
    run.launch = lambda log_path: german_launch(run)
    with open(run.path("DraftMere.txt"), "wb") as settings:
        settings.write(settings_bytes("First Harbor Bank", "0012-345678", "1001", "3", STYLE))
    os.chmod(run.path("DraftMere.txt"), 0o600)
    try:
        run.start()
        alignment_road(run)
        if run.problems:
            raise Failure(f"{len(run.problems)} check(s) failed:\n  " + "\n  ".join(run.problems))
    except Failure as error:
        run.report_failure(error)
        return 1
    finally:
        run.finish()
    print(f"alignment: passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
