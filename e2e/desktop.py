"""A private X display and the keyboard, mouse and window handling the end-to-end runs need.

Everything here waits with a deadline: a window that never comes, a program that never ends or a
display that never starts fails the run with a message instead of hanging it.
"""

import argparse
import contextlib
import ctypes
import ctypes.util
import os
import random
import re
import shutil
import struct
import stat
import subprocess
import tempfile
import time
import zlib

TOOLS = ("Xvfb", "xdotool", "xwd", "pdftotext")


class Failure(Exception):
    """A check of the run failed; the message says what was expected and what was seen."""


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def wait_until(what, condition, timeout=15.0, interval=0.05):
    """Polls condition() until it returns something true and returns that, or fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Display:
    """An Xvfb server on a free display number, without a window manager.

    The server never resets: by default it starts afresh whenever its last client leaves, and a
    program connecting in that moment (while the tools' short connections come and go) fails to
    start. The number is drawn at random from a high range, away from the low numbers other
    servers search from 0, and taken only when its lock is free.
    """

    def __init__(self, log_path, width=1280, height=1024, attempts=8):
        self.log_path = log_path
        self.server = None
        errors = []
        for _ in range(attempts):
            number = random.randrange(2000, 30000)
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            try:
                self._start(number, width, height)
                self.name = f":{number}"
                wait_until(f"a connection to the display {self.name}",
                           lambda: self.run("xdotool", "getdisplaygeometry", timeout=5).strip(), timeout=10)
                return
            except Failure as error:
                errors.append(str(error))
                self.stop()
        raise Failure("no display could be started: " + "; ".join(errors))

    def _start(self, number, width, height):
        read_end, write_end = os.pipe()
        try:
            # The server's messages go to a file: a pipe nobody reads would stop the server once full.
            with open(self.log_path, "wb") as log:
                self.server = subprocess.Popen(
                    ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=log, stderr=subprocess.STDOUT)
            os.close(write_end)
            write_end = None
            self._wait_ready(read_end)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def _wait_ready(self, read_end):
        """The server writes its display number to the pipe once it accepts connections."""
        deadline = time.monotonic() + 15
        text = b""
        os.set_blocking(read_end, False)
        while not text.endswith(b"\n"):
            if self.server.poll() is not None:
                with open(self.log_path, errors="replace") as log:
                    raise Failure("Xvfb ended before it opened its display: " + log.read().strip())
            if time.monotonic() > deadline:
                raise Failure("Xvfb did not open its display within 15 s")
            try:
                chunk = os.read(read_end, 16)
            except BlockingIOError:
                chunk = None
            if chunk:
                text += chunk
            else:
                time.sleep(0.02)

    def stop(self):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait(timeout=5)

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def run(self, *args, timeout=10.0):
        """Runs a tool against this display and returns its standard output."""
        try:
            done = subprocess.run(args, env=self.env(), capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired as error:
            raise Failure(f"{' '.join(args)} did not finish within {timeout:.0f} s") from error
        if done.returncode != 0 and args[0] != "xdotool":
            raise Failure(f"{' '.join(args)} failed: {done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode(errors="replace")

    # Windows are found by their whole title; only mapped (shown) windows count.
    def windows(self, title):
        out = self.run("xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(title) + "$")
        return [int(line) for line in out.split()]

    def visible_ids(self):
        """Every shown window, popup menus included."""
        return {int(line) for line in self.run("xdotool", "search", "--onlyvisible", "--name", "").split()}

    def visible_titles(self):
        titles = []
        for line in self.run("xdotool", "search", "--onlyvisible", "--name", ".").split():
            titles.append(self.run("xdotool", "getwindowname", line).strip())
        return titles

    def focused(self):
        out = self.run("xdotool", "getwindowfocus").strip()
        return int(out) if out.isdigit() else 0

    def wait_window(self, title, timeout=15.0):
        """Waits until a window of that title is shown and holds the keyboard focus; returns its id."""
        def shown_and_focused():
            found = self.windows(title)
            if len(found) == 1 and self.focused() == found[0]:
                return found[0]
            if len(found) == 1:
                self.run("xdotool", "windowfocus", str(found[0]))
            return None
        return wait_until(f'the window "{title}" shown with the keyboard focus', shown_and_focused, timeout)

    def wait_gone(self, title, timeout=15.0):
        wait_until(f'the window "{title}" to close', lambda: not self.windows(title), timeout)

    def sync(self, window, rounds=3):
        """Returns once the program that owns the window has handled the input sent before: it answers
        a window manager's ping (_NET_WM_PING) when its event loop reaches it, behind that input; each
        further ping is answered only after what the input set going in the program has run."""
        with self._connection() as (x11, connection):
            root = x11.XDefaultRootWindow(connection)
            # The answers go to the root window, for the clients watching its structure (which of the two
            # masks depends on the toolkit's version).
            x11.XSelectInput(connection, root, (1 << 17) | (1 << 19))  # StructureNotify, SubstructureNotify
            protocols = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
            ping = x11.XInternAtom(connection, b"_NET_WM_PING", 0)
            for _ in range(rounds):
                stamp = random.randrange(1, 1 << 31)
                event = _XEvent()
                event.xclient.type = 33  # ClientMessage
                event.xclient.window = window
                event.xclient.message_type = protocols
                event.xclient.format = 32
                event.xclient.data[0] = ping
                event.xclient.data[1] = stamp
                event.xclient.data[2] = window
                if not x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event)):
                    raise Failure(f"the ping could not be sent to window {window}")
                x11.XFlush(connection)
                answer = _XEvent()

                def answered():
                    while x11.XCheckTypedWindowEvent(connection, root, 33, ctypes.byref(answer)):
                        if answer.xclient.data[0] == ping and answer.xclient.data[1] == stamp:
                            return True
                    return False
                wait_until(f"the program to answer a ping to window {window}", answered, timeout=10, interval=0.005)

    def stays_open(self, title, owner):
        """True when a window of that title is still shown once the program, through its window owner
        (one that stays), has handled the input sent before."""
        self.sync(owner)
        return bool(self.windows(title))

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "40", *keys)

    def menu(self, menu_key, *entry_keys):
        """Opens a menu of the menu bar by its access key (alt+letter) and, once the menu is shown,
        chooses an entry by its keys. Returns the menu's window."""
        before = self.visible_ids()
        self.key(menu_key)
        shown = wait_until(f"the menu of {menu_key}", lambda: self.visible_ids() - before)
        if entry_keys:
            self.key(*entry_keys)
        return min(shown)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "25", "--", text)

    def click(self, window, x, y):
        """Clicks at a point given relative to the window's top left corner."""
        geometry = dict(line.split("=", 1) for line in
                        self.run("xdotool", "getwindowgeometry", "--shell", str(window)).split())
        self.run("xdotool", "mousemove", str(int(geometry["X"]) + x), str(int(geometry["Y"]) + y),
                 "click", "1")

    @contextlib.contextmanager
    def _connection(self):
        """libX11 and a connection of its own to this display."""
        x11 = _x11()
        connection = x11.XOpenDisplay(self.name.encode())
        if not connection:
            raise Failure(f"cannot connect to the display {self.name}")
        try:
            yield x11, connection
        finally:
            x11.XCloseDisplay(connection)

    def close(self, window):
        """Asks the window to close, as a window manager does for its close box (WM_DELETE_WINDOW)."""
        with self._connection() as (x11, connection):
            event = _XEvent()
            event.xclient.type = 33  # ClientMessage
            event.xclient.window = window
            event.xclient.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
            event.xclient.format = 32
            event.xclient.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
            if not x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event)):
                raise Failure(f"the close request could not be sent to window {window}")
            x11.XFlush(connection)

    def is_transient(self, window):
        """Whether the window is a dialog or message box held over another window (WM_TRANSIENT_FOR)."""
        with self._connection() as (x11, connection):
            owner = ctypes.c_ulong()
            return bool(x11.XGetTransientForHint(connection, window, ctypes.byref(owner)))

    def selection(self, name=b"PRIMARY", timeout=5.0):
        """The text the owner of an X selection (PRIMARY, CLIPBOARD) hands out as UTF-8."""
        with self._connection() as (x11, connection):
            root = x11.XDefaultRootWindow(connection)
            window = x11.XCreateSimpleWindow(connection, root, 0, 0, 1, 1, 0, 0, 0)
            selection, utf8, slot = (x11.XInternAtom(connection, atom, 0)
                                     for atom in (name, b"UTF8_STRING", b"QUILLANE_E2E_SELECTION"))
            x11.XConvertSelection(connection, selection, utf8, slot, window, 0)
            x11.XFlush(connection)
            event = _XEvent()
            wait_until("the selection's owner to answer",
                       lambda: x11.XCheckTypedWindowEvent(connection, window, 31, ctypes.byref(event)), timeout)
            if event.xselection.property == 0:
                return ""
            kind, size, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
            data = ctypes.POINTER(ctypes.c_ubyte)()
            x11.XGetWindowProperty(connection, window, slot, 0, 1 << 20, 1, 0, ctypes.byref(kind),
                                   ctypes.byref(size), ctypes.byref(count), ctypes.byref(after), ctypes.byref(data))
            if not data:
                return ""
            try:
                return ctypes.string_at(data, count.value).decode("utf-8", errors="replace")
            finally:
                x11.XFree(data)

    def message_text(self, window, timeout=15.0):
        """The text of a message box (its window id, or its title), selected with the mouse as a
        person may: from the start of its first line to the box's bottom right corner, then read
        from PRIMARY."""
        title = window
        if isinstance(window, str):
            window = self.wait_window(window, timeout)
        width, height, rows = wait_until(f'"{title}" painted', lambda: (
            lambda shot: shot if any(min(row) < 128 for row in shot[2]) else None)(self.capture(window)), 5)
        top = next(y for y, row in enumerate(rows) if min(row) < 128)
        left = min(x // 3 for y in range(top, min(top + 14, height)) for x, v in enumerate(rows[y]) if v < 128)
        geometry = dict(line.split("=", 1) for line in
                        self.run("xdotool", "getwindowgeometry", "--shell", str(window)).split())
        if "X" not in geometry:
            raise Failure(f'the message box "{title}" closed before its text could be read')
        x, y = int(geometry["X"]), int(geometry["Y"])
        # A text selected before (a field's Ctrl+A) must not pass for the box's text.
        with self._connection() as (x11, connection):
            x11.XSetSelectionOwner(connection, x11.XInternAtom(connection, b"PRIMARY", 0), 0, 0)
            x11.XFlush(connection)
        self.run("xdotool", "mousemove", str(x + left + 1), str(y + top + 4), "mousedown", "1",
                 "mousemove", str(x + left + 40), str(y + top + 6),
                 "mousemove", str(x + width - 3), str(y + height - 3), "mouseup", "1")
        return wait_until(f'the text of "{title}" selected', lambda: self.selection().strip(), 5)

    def capture(self, window=None):
        """The pixels of one window, or of the whole screen: (width, height, rows of RGB bytes)."""
        where = ["-id", str(window)] if window else ["-root"]
        dump = subprocess.run(["xwd", *where, "-silent"], env=self.env(), capture_output=True, timeout=20)
        if dump.returncode != 0:
            raise Failure("xwd failed: " + dump.stderr.decode(errors="replace").strip())
        return xwd_pixels(dump.stdout)

    def screenshot(self, path):
        """Saves the whole screen as a PNG file."""
        with open(path, "wb") as out:
            out.write(png(*self.capture()))

    def menu_bar_items(self, window, band=20, gap=7):
        """The menu bar captions of a window, left to right, as (left, right) pixel columns: the text
        in the window's top rows, split where the blank space between letters is wider than gap."""
        width, _, rows = self.capture(window)
        inked = [any(sum(rows[y][3 * x:3 * x + 3]) < 384 for y in range(band)) for x in range(width)]
        items, start, blank = [], None, 0
        for x, ink in enumerate(inked + [False] * (gap + 1)):
            if ink:
                if start is None:
                    start = x
                blank, end = 0, x
            elif start is not None:
                blank += 1
                if blank > gap:
                    items.append((start, end))
                    start = None
        return items


class Run:
    """One temporary program folder, one private display and one running copy of the program."""

    def __init__(self, program, artifacts, scenario):
        self.scenario = scenario
        self.artifacts = artifacts
        self.root = tempfile.mkdtemp(prefix=f"quillane-e2e-{scenario}-")
        self.folder = os.path.join(self.root, "program")
        self.home = os.path.join(self.root, "home")
        self.runtime = os.path.join(self.root, "runtime")
        self.stubs = os.path.join(self.root, "stubs")
        self.opened = os.path.join(self.root, "opened-addresses.txt")
        self.log = os.path.join(self.root, "program-output.txt")
        for folder in (self.folder, self.home, self.stubs):
            os.makedirs(folder)
        os.makedirs(self.runtime, mode=0o700)
        shutil.copy2(program, os.path.join(self.folder, "quillane"))
        with open(os.path.join(self.stubs, "xdg-open"), "w") as stub:
            stub.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.opened}"\n')
        os.chmod(os.path.join(self.stubs, "xdg-open"), 0o755)
        self.display = None
        self.process = None
        self.problems = []
        # The program's language and formats, as the person's session sets them.
        self.locale = "C.UTF-8"

    def path(self, name):
        return os.path.join(self.folder, name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def start(self, launch=True):
        self.display = Display(os.path.join(self.root, "xvfb-output.txt"))
        # Data files carry account numbers and payees; their modes are checked under a common umask.
        os.umask(0o022)
        if launch:
            self.process = self.launch(self.log)

    def relaunch(self):
        """Starts the program (again, once the last copy ended or was killed); its output joins the log."""
        self.require(self.process is None or self.process.poll() is not None, "the program is still running")
        self.process = self.launch(self.log, append=True)

    def kill(self):
        """kill -9, as a power cut or a crash ends the program."""
        self.process.kill()
        self.process.wait(timeout=10)

    def launch(self, log_path, append=False, user=None, folder=None, home=None):
        """Starts a copy of the program on the display with an environment of its own; user: as that
        operating-system user (needs root), from its own program folder and home."""
        folder, home = folder or self.folder, home or self.home
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("QT_", "XDG_", "WAYLAND", "DBUS_", "LC_", "LANG"))}
        env.update(DISPLAY=self.display.name, QT_QPA_PLATFORM="xcb", HOME=home,
                   XDG_RUNTIME_DIR=os.path.join(home, "runtime") if user else self.runtime,
                   XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   LC_ALL=self.locale, LANG=self.locale,
                   # No print server: the dialog offers printing to a file only, and nothing can reach
                   # a real printer.
                   CUPS_SERVER=os.path.join(self.root, "no-print-server.sock"),
                   PATH=self.stubs + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"),
                   NO_AT_BRIDGE="1")
        with open(log_path, "ab" if append else "wb") as log:
            command = [os.path.join(folder, "quillane")]
            if user:
                command = ["runuser", "-u", user, "--"] + command
            return subprocess.Popen(command, cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)

    def check(self, ok, message):
        """A check whose failure is reported at the end without stopping the run."""
        if not ok:
            self.problems.append(message)
            print("FAILED: " + message, flush=True)
        return ok

    def require(self, ok, message):
        """A check the rest of the run depends on."""
        if not ok:
            raise Failure(message)

    def check_private(self, name):
        mode = stat.S_IMODE(os.stat(self.path(name)).st_mode)
        self.check(mode == 0o600, f"{name} has mode {mode:04o}; a data file must be readable by its owner "
                                  "alone (0600)")

    def opened_addresses(self):
        if not os.path.exists(self.opened):
            return []
        with open(self.opened) as f:
            return f.read().splitlines()

    def close_program(self, title):
        """Closes the program through the close box of the window of that title; it must end with 0."""
        window = self.display.wait_window(title)
        self.display.close(window)
        try:
            code = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure(f'the program still runs 15 s after the close box of "{title}"')
        self.check(code == 0, f"the program ended with exit code {code}, expected 0")
        leftovers = self.display.visible_titles()
        self.check(not leftovers, f"windows still shown after the program ended: {leftovers}")

    def report_failure(self, error):
        print(f"FAILED ({self.scenario}): {error}", flush=True)
        if self.display and self.display.server.poll() is None:
            try:
                print("Windows shown: " + repr(self.display.visible_titles()))
                os.makedirs(self.artifacts, exist_ok=True)
                picture = os.path.join(self.artifacts, f"{self.scenario}-failure.png")
                self.display.screenshot(picture)
                print("Screen at the failure: " + picture)
            except Failure as shot_error:
                print(f"No screenshot: {shot_error}")
        if self.process:
            code = self.process.poll()
            print("The program is still running." if code is None else f"The program ended with exit code {code}.")
        print("Program folder: " + (repr(sorted(os.listdir(self.folder))) if os.path.isdir(self.folder) else "gone"))
        if os.path.exists(self.log):
            with open(self.log, errors="replace") as f:
                output = f.read().strip()
            print("Program output:\n" + (output or "(none)"))

    def finish(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        if self.display:
            self.display.stop()
        shutil.rmtree(self.root, ignore_errors=True)



def run_scenario(scenarios, description, options=None, launch=True):
    """Runs one scenario of scenarios (name: function of the run and the parsed arguments) on a
    copy of the program given by --program; options(parser) adds a script's own arguments;
    launch=False leaves starting the program to the scenario. Returns the exit code."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="the built quillane executable")
    parser.add_argument("--artifacts", required=True, help="where a failure's screenshot goes")
    only = next(iter(scenarios)) if len(scenarios) == 1 else None
    parser.add_argument("--scenario", required=only is None, default=only, choices=sorted(scenarios))
    if options:
        options(parser)
    args = parser.parse_args()

    missing = missing_tools()
    if missing:
        print(f"Missing tools: {', '.join(missing)}. Install the Makefile's PACKAGES (make deps).")
        return 1
    if not os.access(args.program, os.X_OK):
        print(f"No program at {args.program}")
        return 1

    started = time.monotonic()
    run = Run(os.path.abspath(args.program), os.path.abspath(args.artifacts), args.scenario)
    stale = os.path.join(run.artifacts, f"{args.scenario}-failure.png")
    if os.path.exists(stale):
        os.remove(stale)
    try:
        run.start(launch)
        scenarios[args.scenario](run, args)
        if run.problems:
            raise Failure(f"{len(run.problems)} check(s) failed:\n  " + "\n  ".join(run.problems))
    except Failure as error:
        run.report_failure(error)
        return 1
    finally:
        run.finish()
    print(f"{args.scenario}: passed in {time.monotonic() - started:.1f} s")
    return 0




class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XSelectionEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
                ("target", ctypes.c_ulong), ("property", ctypes.c_ulong), ("time", ctypes.c_ulong)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("xselection", _XSelectionEvent), ("pad", ctypes.c_long * 24)]


def _x11():
    """libX11 with the signatures of the few calls used here."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    pointer, window, atom = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong
    signatures = {
        "XOpenDisplay": (pointer, [ctypes.c_char_p]),
        "XInternAtom": (atom, [pointer, ctypes.c_char_p, ctypes.c_int]),
        "XSendEvent": (ctypes.c_int, [pointer, window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_XEvent)]),
        "XFlush": (ctypes.c_int, [pointer]),
        "XCloseDisplay": (ctypes.c_int, [pointer]),
        "XDefaultRootWindow": (window, [pointer]),
        "XCreateSimpleWindow": (window, [pointer, window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                         ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]),
        "XConvertSelection": (ctypes.c_int, [pointer, atom, atom, atom, window, ctypes.c_ulong]),
        "XCheckTypedWindowEvent": (ctypes.c_int, [pointer, window, ctypes.c_int, ctypes.POINTER(_XEvent)]),
        "XGetWindowProperty": (ctypes.c_int, [pointer, window, atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, atom,
                                              ctypes.POINTER(atom), ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                              ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]),
        "XFree": (ctypes.c_int, [ctypes.c_void_p]),
        "XGetTransientForHint": (ctypes.c_int, [pointer, window, ctypes.POINTER(window)]),
        "XSetSelectionOwner": (ctypes.c_int, [pointer, atom, window, ctypes.c_ulong]),
        "XSelectInput": (ctypes.c_int, [pointer, window, ctypes.c_long]),
    }
    for name, (result, arguments) in signatures.items():
        function = getattr(x11, name)
        function.restype, function.argtypes = result, arguments
    return x11


def xwd_pixels(data):
    """Decodes a true-colour screen dump of xwd (24 or 32 bits a pixel) to (width, height, RGB rows)."""
    header = struct.unpack(">25I", data[:100])
    header_size, pixmap_format, width, height = header[0], header[2], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    masks, colours = header[14:17], header[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise Failure(f"unexpected screen dump: format {pixmap_format}, {bits_per_pixel} bits a pixel")
    pixels = data[header_size + 12 * colours:]
    step = bits_per_pixel // 8
    # Where each of red, green and blue lies within a pixel's bytes as stored.
    offsets = []
    for mask in masks:
        shift = (mask & -mask).bit_length() - 1
        offsets.append(shift // 8 if byte_order == 0 else step - 1 - shift // 8)
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + width * step]
        row = bytearray(width * 3)
        for channel, offset in enumerate(offsets):
            row[channel::3] = line[offset::step]
        rows.append(bytes(row))
    return width, height, rows


def png(width, height, rows):
    """A PNG file's bytes for RGB rows."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
