"""The command line of the real program: help, version, seed and refused arguments."""

import subprocess
import unittest

from tmux_screen import program


def run(*args):
    return subprocess.run([program(), *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, timeout=5, check=False)


class CommandLineTest(unittest.TestCase):
    def test_help_and_version_print_and_succeed(self):
        help_result = run("--help")
        self.assertEqual(help_result.returncode, 0)
        self.assertIn("Usage: yutnori", help_result.stdout)
        self.assertIn("--seed", help_result.stdout)
        version = run("--version")
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout, r"^yutnori \d+\.\d+\.\d+\n$")

    def test_refused_arguments_print_one_line_and_exit_2(self):
        for args in (["--bogus"], ["play"], ["--seed"], ["--seed", "x"], ["--seed", "-1"],
                     ["--seed", "4294967296"], ["--help", "--bogus"][::-1]):
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
        # With input closed the game ends at once; the seed itself is only parsed here.
        for args in (["--seed", "42"], ["--seed=0"], ["--seed", "4294967295"]):
            with self.subTest(args=args):
                self.assertEqual(run(*args).returncode, 0)


if __name__ == "__main__":
    unittest.main()
