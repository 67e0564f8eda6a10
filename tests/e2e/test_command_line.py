"""The command line of the real program: help, version, seed and refused arguments."""

import os
import subprocess
import unittest

from tmux_screen import program

# Piped keys: "게임 시작", "2인용 모드", the start pause, then piece 1 (a or e) each turn; the
# game ends when they run out.
GAME_KEYS = "\r\rx" + "1\n" * 12


def run(*args, keys=None):
    """Runs the program with the keys piped in, or with input closed when there are none."""
    return subprocess.run([program(), *args], input=keys,
                          stdin=None if keys else subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, timeout=5, check=False,
                          env=dict(os.environ, LC_ALL="C.UTF-8"))


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

    def test_refused_arguments_print_one_line_and_exit_2(self):
        for args in (["--bogus"], ["play"], ["--seed"], ["--seed", "x"], ["--seed", "-1"],
                     ["--seed", "4294967296"], ["--help", "--bogus"][::-1],
                     ["--computer", "hard"], ["--rules", "odd"], ["--pace", "5001"]):
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

    def test_computer_is_accepted(self):
        # With input closed the game ends at once; the option itself is only parsed here.
        for args in (["--computer", "strong"], ["--computer=basic"]):
            with self.subTest(args=args):
                self.assertEqual(run(*args).returncode, 0)


if __name__ == "__main__":
    unittest.main()
