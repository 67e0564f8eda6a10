"""The command line of the real program: help, version, seed and refused arguments."""

import os
import re
import subprocess
import tempfile
import unittest

from tmux_screen import program

# Piped keys: "게임 시작", "2인용 모드", the start pause, then piece 1 (a or e) each turn; the
# game ends when they run out.
GAME_KEYS = "\r\rx" + "1\n" * 12


def run(*args, keys=None, **env):
    """Runs the program with the keys piped in, or with input closed when there are none;
    env adds to the environment (a value of None removes the name)."""
    environment = dict(os.environ, LC_ALL="C.UTF-8", TERM="xterm")
    environment.update(env)
    environment = {name: value for name, value in environment.items() if value is not None}
    return subprocess.run([program(), *args], input=keys,
                          stdin=None if keys else subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, timeout=5, check=False,
                          env=environment)


class CommandLineTest(unittest.TestCase):
    def test_help_and_version_print_and_succeed(self):
        help_result = run("--help")
        self.assertEqual(help_result.returncode, 0)
        self.assertIn("Usage: yutnori", help_result.stdout)
        self.assertIn("--seed", help_result.stdout)
        self.assertIn("--computer easy|basic|medium|strong", help_result.stdout)
        version = run("--version")
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout, r"^yutnori \d+\.\d+\.\d+\n$")
        self.assertEqual(run("-h").stdout, help_result.stdout)
        self.assertEqual(run("-V").stdout, version.stdout)
        # "--" ends the options; with input closed the game ends at once.
        self.assertEqual(run("--seed", "1", "--").returncode, 0)

    def test_write_error_on_help_and_version_fails(self):
        for option in ("--help", "--version"):
            with self.subTest(option=option):
                with open("/dev/full", "w") as full:
                    result = subprocess.run([program(), option], stdout=full,
                                            stderr=subprocess.PIPE, text=True, timeout=5,
                                            check=False)
                self.assertEqual(result.returncode, 1)
                self.assertTrue(result.stderr.startswith("yutnori: write error"), result.stderr)

    def test_refused_arguments_print_one_line_and_exit_2(self):
        for args in (["--bogus"], ["play"], ["--seed"], ["--seed", "x"], ["--seed", "-1"],
                     ["--seed", "4294967296"], ["--help", "--bogus"][::-1],
                     ["--computer", "hard"], ["--rules", "odd"], ["--pace", "5001"],
                     ["--", "--help"]):
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stdout, "")
                self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
                self.assertTrue(result.stderr.startswith("yutnori: "))

    def test_closed_standard_streams_end_at_once(self):
        # A closed input reads as ended, also when output and errors are closed too.
        for redirections in ("<&-", "<&- >&- 2>&-"):
            with self.subTest(redirections=redirections):
                result = subprocess.run(["sh", "-c", 'exec "$0" %s' % redirections, program()],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        timeout=1, check=False)
                self.assertEqual(result.returncode, 0)

    def test_seed_is_accepted(self):
        # The same seed and keys play the same game: every screen and throw alike.
        games = {}
        for args in (["--seed", "42"], ["--seed=42"], ["--seed=0"], ["--seed", "4294967295"]):
            with self.subTest(args=args):
                first = games[args[-1]] = run(*args, keys=GAME_KEYS)
                self.assertEqual(first.returncode, 0, first.stderr)
                self.assertGreaterEqual(first.stdout.count("움직일 말을 선택해 주세요"), 4,
                                        "turns were played")
                self.assertTrue(run(*args, keys=GAME_KEYS).stdout == first.stdout,
                                "the second game differs from the first")
        self.assertTrue(games["42"].stdout == games["--seed=42"].stdout,
                        "--seed 42 and --seed=42 differ")
        self.assertFalse(run("--seed", "43", keys=GAME_KEYS).stdout == games["42"].stdout,
                         "another seed, another game")

    def test_term_names_what_is_sent(self):
        # Descriptions compiled as terminfo does: a printing terminal, and xterm with a
        # number too large for the original format (its entry has 32-bit numbers).
        with tempfile.TemporaryDirectory() as terminfo:
            source = os.path.join(terminfo, "test.src")
            with open(source, "w") as description:
                description.write("yut-paper|printing terminal,\n\thc, am, cols#80, cr=\\r,\n"
                                  "yut-direct|xterm with 32-bit numbers,\n"
                                  "\tpairs#65536, use=xterm,\n")
            subprocess.run(["tic", "-o", terminfo, source], check=True)
            for term in (None, "", "dumb", "yut-paper"):
                with self.subTest(term=term):
                    result = run(TERM=term, TERMINFO=terminfo)
                    self.assertEqual(result.returncode, 1)
                    self.assertEqual(result.stdout, "")
                    self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
                    self.assertTrue(result.stderr.startswith("yutnori: TERM"), result.stderr)
            direct = run(TERM="yut-direct", TERMINFO=terminfo, keys="\x1b[B")
        # xterm places and blanks by column (CHA, VPA, ECH) and hides the cursor; vt100 has
        # none of these, and its title screen comes by other moves.
        sequences = re.compile(r"\x1b\[\d*[GdX]|\x1b\[\?25l")
        xterm = run(TERM="xterm", keys="\x1b[B")
        vt100 = run(TERM="vt100", keys="\x1b[B")
        self.assertRegex(xterm.stdout, sequences)
        self.assertEqual(direct.stdout, xterm.stdout)
        self.assertNotRegex(vt100.stdout, sequences)
        for result in (xterm, vt100):
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("게임 시작", result.stdout)

    def test_computer_is_accepted(self):
        # With input closed the game ends at once; the option itself is only parsed here.
        for args in (["--computer", "strong"], ["--computer=basic"]):
            with self.subTest(args=args):
                self.assertEqual(run(*args).returncode, 0)


if __name__ == "__main__":
    unittest.main()
