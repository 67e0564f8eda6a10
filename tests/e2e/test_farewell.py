"""Leaving the real program: the farewell, the exit status and the terminal given back."""

import os
import subprocess
import unittest

from test_title_screen import after_marker, title_screen
from tmux_screen import ScreenTestCase, program

FAREWELL = "재밌게 놀으셨나요!? 또 찾아주세요~ "


def stty_flags(lines):
    words = " ".join(lines).split()
    return set(words)


class FarewellTest(ScreenTestCase):
    def assert_terminal_is_sane(self):
        _, _, visible = self.screen.cursor()
        self.assertTrue(visible, "cursor visible again")
        self.screen.run("clear; stty -a")
        lines = self.screen.wait_for_substring("icanon")
        flags = stty_flags(lines)
        for flag in ("echo", "icanon", "icrnl", "isig", "opost"):
            self.assertIn(flag, flags)
            self.assertNotIn("-" + flag, flags)

    def test_farewell_text_exit_status_and_prompt_row(self):
        self.screen.start_game()
        self.screen.wait_for_texts(title_screen(), cursor=after_marker(1))
        self.screen.keys("Up", "Enter")
        lines = self.screen.wait_for_line_start("EXIT=")
        self.assertTextAt(15, 5, FAREWELL)
        # The farewell clears the screen first: only its text stands above the shell.
        for y in range(11):
            if y != 5:
                self.assertEqual(lines[y].strip(), "", "row %d" % y)
        self.assertEqual(lines[11], "EXIT=0", "the shell continues on row 11")
        self.assert_terminal_is_sane()

    def test_closed_input_in_a_terminal_ends_at_once(self):
        self.screen.run("%s </dev/null; echo \"EXIT=$?\"" % program())
        lines = self.screen.wait_for_line_start("EXIT=", timeout=3)
        self.assertIn("EXIT=0", lines)
        # The shell goes on below the screen the game had drawn, not inside it.
        self.screen.wait_for(lambda lines: lines[-2:] == ["EXIT=0", "$ "],
                             "the exit status and the prompt on the last rows")
        self.assert_terminal_is_sane()


class NoTerminalTest(unittest.TestCase):
    def test_closed_input_without_a_terminal_ends_at_once_with_status_0(self):
        for stdout in (subprocess.PIPE, subprocess.DEVNULL):
            with self.subTest(stdout=stdout):
                result = subprocess.run([program()], stdin=subprocess.DEVNULL, stdout=stdout,
                                        stderr=subprocess.PIPE, timeout=3, check=False,
                                        cwd=os.path.dirname(program()))
                self.assertEqual(result.returncode, 0, result.stderr)

    def test_piped_keys_reach_the_farewell(self):
        # Up wraps to "게임 종료"; Enter chooses it.
        result = subprocess.run([program()], input=b"\x1b[A\r", stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=3, check=False)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(FAREWELL.strip().encode(), result.stdout)


if __name__ == "__main__":
    unittest.main()
