"""Games played in the real program: started from the menus, turns typed at the keyboard,
the board and the waiting lines changing, a game against the computer played to its end,
then the title screen and a second game."""

import time
import unittest

from test_menus import MODE_MARKER_COLUMN
from test_title_screen import MAIN_MARKER_COLUMN, MARKER, TITLE, label_row
from tmux_screen import ScreenTestCase, columns, expected, padded, width

START_TEXT = "      게임을 시작합니다."
ANY_KEY_TEXT = "     아무키나 눌러주세요."
PROMPT = "움직일 말을 선택해 주세요 :"
NAME_PROMPT = "고득점!! 이름을 입력하시오"
SIDE1_PIECES = "ⓐⓑⓒⓓ"
SIDE1_STACKS = {"②": 11, "③": 12, "④": 13}
WAITING_ROW = {1: 28, 2: 31}
GAME_TIMEOUT = 150.0
# Where the game reads: a number after the prompt (and its blank), a name in the brackets
# below the high-score prompt.
CHOICE_COLUMN = 45 + width(PROMPT) + 1
NAME_INPUT = (22, 17)


def header(side):
    return "player%d의 차례입니다." % side


def text_in(lines, x, y, length):
    return "".join(padded(columns(lines[y]), 80)[x:x + length])


def shows(lines, x, y, text):
    return text_in(lines, x, y, width(text)) == "".join(expected(text))


def input_position(lines):
    """Where the game reads input in the state the screen shows, or None while it shows
    none that reads: the title screen's menu, the start texts, a message that waits for a
    key, the final board, the choice prompt, the high-score prompt. Once the cursor stands
    there, the state's screen is complete and the game waits."""
    if shows(lines, 4, 2, TITLE):
        for item in range(1, 5):
            if shows(lines, MAIN_MARKER_COLUMN, label_row(item), MARKER):
                return MAIN_MARKER_COLUMN + width(MARKER), label_row(item)
        return None
    if shows(lines, 20, 16, NAME_PROMPT):
        return NAME_INPUT
    message = text_in(lines, 44, 20, 32).rstrip()
    if message:
        return 44 + width(message), 20
    winner = text_in(lines, 44, 32, 32).rstrip()
    if winner.endswith("승리!!"):  # the final board, until a key
        return 44 + width(winner), 32
    if shows(lines, 45, 15, ANY_KEY_TEXT):
        return 45 + width(ANY_KEY_TEXT), 15
    for row in (17, 18):
        if shows(lines, 45, row, PROMPT):
            return CHOICE_COLUMN, row
    return None


def wait_for_input(screen, what):
    """Waits until the game reads input in a state whose screen is complete."""
    return screen.wait_for(lambda lines: input_position(lines) is not None, what,
                           cursor=input_position)


class GamePlayTest(ScreenTestCase):
    # -- reading the game screen --------------------------------------------------------
    def text(self, lines, x, y, length):
        return text_in(lines, x, y, length)

    def prompt_waiting(self, lines):
        """The side whose prompt waits for a number, or None."""
        for row in (17, 18):
            if self.text(lines, 45, row, 40).startswith(PROMPT):
                for side in (1, 2):
                    if self.text(lines, 45, 11, 30).startswith(header(side)):
                        return side
        return None

    def message(self, lines):
        return self.text(lines, 44, 19, 32).strip()

    def winner(self, lines):
        return self.text(lines, 44, 32, 32).strip()

    def waiting_line(self, lines, side):
        return self.text(lines, 4, WAITING_ROW[side], 36)

    def cell(self, lines, i, j):
        """The glyph of board cell (i, j), with the apostrophe of a second pair."""
        return self.text(lines, 8 + 4 * i, 11 + 2 * j, 3).replace(" ", "")

    def choice_for_side1(self, lines):
        """A choice that is never refused: a stack on the board, else a piece on the board,
        else a waiting piece."""
        cells = [self.cell(lines, i, j) for i in range(7) for j in range(7)]
        for glyph in cells:
            if glyph == "②'":
                return 14
            if glyph in SIDE1_STACKS:
                return SIDE1_STACKS[glyph]
        for glyph in cells:
            if glyph and glyph in SIDE1_PIECES:
                return SIDE1_PIECES.index(glyph) + 1
        waiting = self.waiting_line(lines, 1)
        for number, glyph in enumerate(SIDE1_PIECES, start=1):
            if glyph in waiting:
                return number
        raise AssertionError("side 1 has nothing to move:\n" + "\n".join(lines))

    # -- driving ------------------------------------------------------------------------
    def type_choice(self, lines, number):
        """Types the number and waits for its echo where the prompt reads, then Enter, and
        waits for the next state that reads."""
        _, row = input_position(lines)
        self.screen.text(str(number))
        self.screen.wait_for_input_after(CHOICE_COLUMN, row, str(number))
        self.screen.keys("Enter")
        return wait_for_input(self.screen, "the turn after choosing %d" % number)

    def press_on(self, lines, what):
        """Answers a wait for a key; the state it ends goes from the screen, then the next
        state that reads comes."""
        self.screen.text("x")
        self.screen.wait_for(lambda now: now != lines, "the end of " + what)
        return wait_for_input(self.screen, "the state after " + what)

    def start_from_menus(self, mode_downs):
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Enter")
        self.screen.wait_for_input_after(MODE_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys(*(["Down"] * mode_downs), "Enter")
        lines = self.screen.wait_for_input_after(45, 15, ANY_KEY_TEXT)
        self.assertTextAt(45, 14, START_TEXT)
        return lines

    # -- tests --------------------------------------------------------------------------
    def test_two_player_turns_move_pieces_and_empty_the_waiting_lines(self):
        self.screen.start_game("--seed", "3")
        lines = self.start_from_menus(0)
        self.assertTextAt(4, 28, "player1 대기중인 말 : ⓐ ⓑ ⓒ ⓓ")
        self.assertTextAt(4, 31, "player2 대기중인 말 : ⓔ ⓕ ⓖ ⓗ")
        lines = self.press_on(lines, "the start texts")
        self.assertEqual(self.prompt_waiting(lines), 1, "player1's prompt")
        self.assertNotIn("게임을 시작합니다", "".join(lines), "start texts wiped")
        lines = self.type_choice(lines, 1)
        self.assertNotIn("ⓐ", self.waiting_line(lines, 1))
        self.assertIn("ⓐ", "".join(self.cell(lines, i, j) for i in range(7) for j in range(7)))
        # Side 1 throws again after a yut or a mo; play on until side 2's prompt.
        deadline = time.monotonic() + 30
        while self.prompt_waiting(lines) != 2:
            self.assertLess(time.monotonic(), deadline, "side 2 never got a turn")
            if self.message(lines):
                lines = self.press_on(lines, "the pause")
            elif self.prompt_waiting(lines) == 1:
                lines = self.type_choice(lines, self.choice_for_side1(lines))
            else:
                self.fail("neither a pause nor a prompt:\n" + "\n".join(lines))
        labels = "".join(expected("1.ⓔ, 2.ⓕ, 3.ⓖ, 4.ⓗ"))
        self.assertIn(labels, [self.text(lines, 45, row, len(labels)) for row in (15, 16)])
        lines = self.type_choice(lines, 3)
        if self.message(lines):  # piece g captured: the board is drawn after a key
            lines = self.press_on(lines, "the capture's pause")
        # The blanked label is one column narrower: what follows it moves left.
        self.assertTextAt(4, 31, "player2 대기중인 말 : ⓔ ⓕ   ⓗ")

    def test_typing_at_the_prompt_stays_inside_the_frame(self):
        self.screen.start_game("--seed", "3")
        self.start_from_menus(0)
        self.screen.text("x")
        before = self.screen.wait_for(lambda l: self.prompt_waiting(l) == 1, "player1's prompt")
        row = 17 if self.text(before, 45, 17, 40).startswith(PROMPT) else 18
        echo_x = 45 + len(expected(PROMPT + " "))
        # An empty line leaves the prompt waiting where it stands.
        self.screen.keys("Enter")
        self.screen.text("9")
        self.screen.wait_for_text(echo_x, row, "9")
        # A long line shows what fits before the frame; the rest is no number: refused.
        self.screen.text("1" * 300)
        self.screen.wait_for_text(echo_x, row, "911┃")
        self.screen.keys("Enter")
        self.screen.wait_for_text(44, 19, "잘못된 말을 선택하셨습니다.")
        self.screen.text("x")
        after = self.screen.wait_for(lambda l: self.prompt_waiting(l) == 1 and not self.message(l),
                                     "the next prompt")
        for y in range(34):
            edges = padded(columns(before[y]), 80)
            now = padded(columns(after[y]), 80)
            self.assertEqual(now[:2] + now[76:], edges[:2] + edges[76:], "frame edges of row %d" % y)

    def test_game_against_the_computer_to_its_end_then_a_second_game(self):
        self.screen.start_game("--seed", "5")
        lines = self.press_on(self.start_from_menus(1), "the start texts")
        self.assertEqual(self.prompt_waiting(lines), 1, "player1's prompt")
        deadline = time.monotonic() + GAME_TIMEOUT
        turns = 0
        while not self.winner(lines):
            self.assertLess(time.monotonic(), deadline, "the game did not end")
            if self.message(lines):  # a capture by side 1 waits for a key
                lines = self.press_on(lines, "the pause")
            elif self.prompt_waiting(lines) == 1:
                lines = self.type_choice(lines, self.choice_for_side1(lines))
                turns += 1
            else:
                self.fail("neither a pause, a prompt nor the end:\n" + "\n".join(lines))
        self.assertGreater(turns, 5)
        self.assertIn(self.winner(lines), ("player1 승리!!", "player2 승리!!"))
        # The first winner of this working directory enters the ranking.
        self.assertEqual(input_position(lines), NAME_INPUT)
        self.screen.text("tester")
        self.screen.keys("Enter")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        # A second game starts on a cleared board; the scores carry over.
        self.start_from_menus(0)
        for y in range(11, 24, 2):
            row = "".join(self.cell(self.screen.lines(), i, (y - 11) // 2) for i in range(7))
            self.assertEqual(row.replace("○", ""), "", "row %d holds no piece" % y)
        self.assertTextAt(4, 28, "player1 대기중인 말 : ⓐ ⓑ ⓒ ⓓ")
        self.assertTextAt(4, 29, "          도착한 말 :        ")
        scores = self.screen.text_at(44, 29, 32) + self.screen.text_at(44, 30, 32)
        self.assertNotEqual(scores.count(": 0 "), 2, "scores are kept: " + scores)


if __name__ == "__main__":
    unittest.main()
