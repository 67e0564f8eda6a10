"""Runs the real yutnori in a private tmux server at 80x34 and reads its screen.

Every session gets its own tmux socket and its own temporary working directory (so the
ranking file "lanksave.txt" of one test never meets another's), and is always killed.

Waits end on the program's own state: a text that only that state shows and, where the game
reads input, the cursor where the input goes. The game moves the terminal's cursor to its
input position (hidden or not) as the last step of every repaint, so the cursor there means
that the repaint is complete. A wait that times out fails the test.

Only a missing tmux skips the tests (CTest shows them as skipped); a missing program fails.

Columns: tmux draws Hangul two columns wide and box-drawing characters, circled letters,
"▶" and "○" one column wide. The game's console layer counts all of them as two columns
and fills the second column of a one-column glyph itself ("━" after a glyph whose line
runs on to the right, a blank after any other). columns() maps a captured row back to the
game's columns, and expected() turns a text as the game prints it into the same form.
"""

import itertools
import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unicodedata
import unittest

WIDTH = 80
HEIGHT = 34
DEFAULT_TIMEOUT = 5.0
POLL_SECONDS = 0.05

# CTest marks a test as skipped when its output holds this (SKIP_REGULAR_EXPRESSION).
SKIPPED = "e2e skipped: "

# Glyphs whose line runs on to the right: the console fills their second column with "━".
RIGHT_RUNNING = set("━┏┣┳┗┻")

_counter = itertools.count()


def program():
    """Path of the yutnori program under test (CTest passes it in YUTNORI); a test that
    needs it fails when it is missing or cannot be run."""
    path = os.environ.get("YUTNORI")
    if not path:
        raise AssertionError("YUTNORI does not name the yutnori program under test")
    if not os.path.isfile(path) or not os.access(path, os.X_OK):
        raise AssertionError("YUTNORI=%s is not an executable program" % path)
    return os.path.abspath(path)


def is_wide(ch):
    return unicodedata.east_asian_width(ch) in ("W", "F")


def columns(line):
    """A captured row as a list indexed by column: the glyph starting there, or "" in the
    second column of a glyph tmux draws two wide."""
    cells = []
    for ch in line:
        cells.append(ch)
        if is_wide(ch):
            cells.append("")
    return cells


def padded(cells, width):
    """Cells tmux left unwritten at the end of a row read as blanks."""
    return cells + [" "] * (width - len(cells))


def width(text):
    """The columns a text printed by the game takes."""
    return len(expected(text))


def expected(text):
    """The columns that a text printed by the game should occupy in tmux."""
    cells = []
    for ch in text:
        narrow_before = len(cells) >= 2 and cells[-1] == " " and len(cells[-2]) == 1 and \
            ord(cells[-2]) >= 0x80 and not is_wide(cells[-2])
        if ch == "'" and narrow_before:
            cells[-1:] = ["'", " "]  # "②'": the apostrophe beside its glyph, the blank after
            continue
        cells.append(ch)
        if is_wide(ch):
            cells.append("")
        elif ord(ch) >= 0x80:
            cells.append("━" if ch in RIGHT_RUNNING else " ")
    return cells


class TmuxScreen:
    """One tmux server with one 80x34 window running an interactive shell."""

    def __init__(self, width=WIDTH, height=HEIGHT):
        self.width = width
        self.height = height
        self.socket = "yut-e2e-%d-%d-%d" % (os.getpid(), next(_counter), time.monotonic_ns())
        self._workdir = tempfile.TemporaryDirectory(prefix="yut-e2e-")
        self.cwd = self._workdir.name
        self.target = "yut"
        shell_env = {
            "TERM": "screen",
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "PS1": "$ ",
            "HISTFILE": "/dev/null",
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.cwd,
        }
        env_words = " ".join("%s=%s" % (k, shlex.quote(v)) for k, v in shell_env.items())
        self._tmux(
            "new-session", "-d", "-s", self.target, "-x", str(width), "-y", str(height),
            "-c", self.cwd, "env -i %s bash --norc --noprofile -i" % env_words)
        self.wait_for(lambda lines: lines[0].startswith("$"), "the shell prompt")

    # -- lifetime ---------------------------------------------------------------------
    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        self._workdir.cleanup()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # -- driving ----------------------------------------------------------------------
    def _tmux(self, *args):
        result = subprocess.run(["tmux", "-L", self.socket, "-f", "/dev/null", *args],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                timeout=DEFAULT_TIMEOUT, check=False)
        if result.returncode != 0:
            raise AssertionError("tmux %s failed: %s" % (args[0], result.stderr.strip()))
        return result.stdout

    def run(self, command_line):
        """Types a command line into the shell and presses Enter."""
        self._tmux("send-keys", "-t", self.target, "-l", command_line)
        self._tmux("send-keys", "-t", self.target, "Enter")

    def start_game(self, *args):
        """Starts yutnori from the shell, then prints its exit status when it ends."""
        words = " ".join(shlex.quote(w) for w in (program(),) + args)
        self.run("%s; echo \"EXIT=$?\"" % words)

    def keys(self, *names):
        """Sends tmux key names (Up, Down, Enter, ...) one after another."""
        for name in names:
            self._tmux("send-keys", "-t", self.target, name)

    def text(self, literal):
        """Types characters literally."""
        self._tmux("send-keys", "-t", self.target, "-l", literal)

    # -- reading ----------------------------------------------------------------------
    def lines(self):
        return self.snapshot()[0]

    def snapshot(self):
        """The rows and the cursor's (x, y), read by one tmux command so that they belong
        to the same moment."""
        out = self._tmux("capture-pane", "-p", "-N", "-t", self.target, ";",
                         "display-message", "-p", "-t", self.target,
                         "CURSOR #{cursor_x} #{cursor_y}")
        rows, _, cursor = out.rstrip("\n").rpartition("\n")
        _, x, y = cursor.split()
        rows = rows.split("\n")[: self.height]
        return rows + [""] * (self.height - len(rows)), (int(x), int(y))

    def row(self, y):
        """Row y by columns, padded with blanks to the full width."""
        return padded(columns(self.lines()[y]), self.width)

    def cursor(self):
        """(x, y, visible) of the pane's cursor."""
        x, y, flag = self._tmux("display-message", "-p", "-t", self.target,
                                "#{cursor_x} #{cursor_y} #{cursor_flag}").split()
        return int(x), int(y), flag == "1"

    def wait_for(self, predicate, what, timeout=DEFAULT_TIMEOUT, cursor=None):
        """Polls the screen until predicate(lines) holds and, when cursor is given (an
        (x, y), or a function of the lines that gives one or None), the cursor stands there:
        the game then reads input there and its screen is complete. Returns the lines;
        fails the test when the timeout passes first."""
        deadline = time.monotonic() + timeout
        while True:
            lines, at = self.snapshot()
            if predicate(lines):
                if cursor is None:
                    return lines
                if (cursor(lines) if callable(cursor) else cursor) == at:
                    return lines
            if time.monotonic() > deadline:
                raise AssertionError("timed out after %.1f s waiting for %s; cursor at %s; "
                                     "screen:\n%s" % (timeout, what, at, "\n".join(lines)))
            time.sleep(POLL_SECONDS)

    def wait_for_text(self, x, y, text, timeout=DEFAULT_TIMEOUT):
        """Waits until the game's text stands at column x of row y."""
        want = expected(text)
        return self.wait_for(
            lambda lines: padded(columns(lines[y]), self.width)[x:x + len(want)] == want,
            "%r at (%d, %d)" % (text, x, y), timeout)

    def wait_for_input_after(self, x, y, text, timeout=DEFAULT_TIMEOUT):
        """Waits until the game's text stands at column x of row y with the cursor right
        after it: the game printed it last and now reads a key or a line there (a menu's
        marker, a prompt, the last line of a message that waits for a key)."""
        want = expected(text)
        return self.wait_for(
            lambda lines: padded(columns(lines[y]), self.width)[x:x + len(want)] == want,
            "%r at (%d, %d) and the game reading after it" % (text, x, y), timeout,
            cursor=(x + len(want), y))

    def wait_for_texts(self, placed, timeout=DEFAULT_TIMEOUT, cursor=None):
        """Waits until every (x, y, text) stands in place (and the cursor at cursor, if
        given): a screen arrives in more than one piece when the terminal is slow to read
        it."""
        wanted = [(x, y, expected(text)) for x, y, text in placed]

        def all_there(lines):
            return all(padded(columns(lines[y]), self.width)[x:x + len(want)] == want
                       for x, y, want in wanted)
        return self.wait_for(all_there, "%d texts in place" % len(wanted), timeout, cursor)

    def wait_for_line_start(self, prefix, timeout=DEFAULT_TIMEOUT):
        """Waits for a row that starts with prefix (so not the typed command line)."""
        return self.wait_for(lambda lines: any(line.startswith(prefix) for line in lines),
                             "a row starting with %r" % prefix, timeout)

    def wait_for_substring(self, text, timeout=DEFAULT_TIMEOUT):
        return self.wait_for(lambda lines: any(text in line for line in lines),
                             repr(text), timeout)

    def text_at(self, x, y, length):
        """The columns x..x+length-1 of row y, joined (second columns of Hangul dropped)."""
        return "".join(self.row(y)[x:x + length])


class ScreenTestCase(unittest.TestCase):
    """A test case with a fresh tmux screen in self.screen."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if shutil.which("tmux") is None:
            print(SKIPPED + "tmux is not installed", flush=True)
            raise unittest.SkipTest("tmux is not installed")

    def setUp(self):
        self.screen = TmuxScreen()
        self.addCleanup(self.screen.close)

    def assertTextAt(self, x, y, text):
        want = expected(text)
        got = self.screen.row(y)[x:x + len(want)]
        self.assertEqual("".join(got), "".join(want),
                         "at (%d, %d); row %d is %r" % (x, y, y, self.screen.lines()[y]))
        self.assertEqual(got, want, "column placement at (%d, %d)" % (x, y))
