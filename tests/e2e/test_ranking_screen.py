"""The ranking screen of the real program, read from tmux, with a prepared "lanksave.txt"."""

import os
import struct
import unittest

from test_title_screen import FRAME_BOTTOM, FRAME_SIDE, FRAME_TOP, MAIN_MARKER_COLUMN, MARKER
from test_title_screen import label_row
from tmux_screen import ScreenTestCase

RANKING_ITEM = 3
# The ranking screen reads its key at the start of the row below its ninth line.
RANKING_INPUT = (0, 14)


def record(name, score):
    """One 24-byte record: the CP949 name in a 20-byte field, the little-endian score."""
    field = name.encode("cp949").ljust(20, b"\0")
    return field + struct.pack("<i", score)


def ranking_file(entries):
    """The file's bytes: every 0x0A of the data stored as 0x0D 0x0A."""
    data = b"".join(record(name, score) for name, score in entries)
    return data.replace(b"\n", b"\r\n")


def ranking_line(place, name, score):
    """A line as the game prints it: "%6s" pads by CP949 bytes, which are columns."""
    pad = " " * max(0, 6 - len(name.encode("cp949")))
    return "%d등  :  %s%s   %7d 점 입니다. " % (place, pad, name, score)


ENTRIES = [("홍길동", 6750), ("김", 2750), ("Lee", 2500), ("가나다라마바사아자B", 2000),
           ("", 1750), ("박x", 1000), ("AB", 500), ("최", 250), ("z", -250)]


class RankingScreenTest(ScreenTestCase):
    def write_file(self, entries):
        with open(os.path.join(self.screen.cwd, "lanksave.txt"), "wb") as out:
            out.write(ranking_file(entries))

    def open_ranking(self):
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Down", "Down", "Enter")
        self.screen.wait_for_texts([(5, 13, "9등")], cursor=RANKING_INPUT)

    def assert_lines(self, entries):
        for place, (name, score) in enumerate(entries, start=1):
            with self.subTest(place=place):
                self.assertTextAt(5, 4 + place, ranking_line(place, name, score))

    def test_hangul_names_and_scores_on_their_columns(self):
        self.write_file(ENTRIES)
        self.screen.start_game()
        self.open_ranking()
        self.assertTextAt(0, 0, FRAME_TOP)
        self.assertTextAt(0, 1, FRAME_SIDE)
        self.assertTextAt(0, 22, FRAME_BOTTOM)
        self.assert_lines(ENTRIES)
        # Six bytes of name or less keep the line inside the box.
        self.assertTextAt(41, 5, "   ┃")
        # Any key goes back to the main menu.
        self.screen.text("x")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)

    def test_the_file_is_read_again_each_time(self):
        self.write_file(ENTRIES)
        self.screen.start_game()
        self.open_ranking()
        changed = [("새이름", 9999)] + ENTRIES[1:]
        self.write_file(changed)
        self.screen.text("x")
        self.open_ranking()
        self.screen.wait_for_text(5, 5, ranking_line(1, "새이름", 9999))

    def test_no_file_shows_nine_empty_lines(self):
        self.screen.start_game()
        self.open_ranking()
        self.assert_lines([("", 0)] * 9)
        self.assertTextAt(0, 0, FRAME_TOP)  # the load's message was cleared away
        self.assertFalse(os.path.exists(os.path.join(self.screen.cwd, "lanksave.txt")))

    def test_garbage_bytes_in_a_name_show_as_question_marks(self):
        data = bytearray(ranking_file(ENTRIES))
        data[0:20] = b"a\x1b[J".ljust(20, b"\0")  # an escape sequence never reaches the terminal
        with open(os.path.join(self.screen.cwd, "lanksave.txt"), "wb") as out:
            out.write(bytes(data))
        self.screen.start_game()
        self.open_ranking()
        self.assertTextAt(5, 5, ranking_line(1, "a?[J", 6750))


if __name__ == "__main__":
    unittest.main()
