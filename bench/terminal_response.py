#!/usr/bin/env python3
"""How fast the real program takes piped input and answers SIGTERM on a stalled terminal.

    python3 bench/terminal_response.py build/src/yutnori

1. One megabyte of seeded random bytes piped to standard input (output to /dev/null), with
   the bytes that move a menu (ESC, "H", "P") made "x" so that the game never reaches its
   exit item and reads it all: wall time and CPU time until the game ends at the end of
   its input, and how many bytes it took.
2. On a pseudo-terminal whose output nobody reads: arrow keys are typed until the game
   stops taking them (it waits to write), then SIGTERM. Prints the time from the signal to
   the end of the process, how it ended, and whether the terminal mode was given back.
3. For each computer level, on a pseudo-terminal: the time from the Enter that chooses the
   game against the computer to the game screen's start banner on the terminal (the
   median of five starts).
"""

import fcntl
import os
import pty
import random
import resource
import signal
import subprocess
import sys
import tempfile
import termios
import time

MEGABYTE = 1000000


def piped_input(program, seed=1):
    no_menu_moves = bytes.maketrans(b"\x1bHP", b"xxx")
    data = random.Random(seed).randbytes(MEGABYTE).translate(no_menu_moves)
    with tempfile.TemporaryDirectory() as work:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.monotonic()
        game = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                cwd=work)
        taken = 0
        try:
            while taken < len(data):
                taken += os.write(game.stdin.fileno(), data[taken:taken + 65536])
        except BrokenPipeError:
            pass
        try:
            game.stdin.close()
        except BrokenPipeError:
            pass
        status = game.wait()
        wall = time.monotonic() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    print("1 MB piped input (seed %d): %.3f s wall, %.3f s CPU, %d bytes read, exit status %d"
          % (seed, wall, cpu, taken, status))


def stalled_terminal(program):
    pid, master = pty.fork()
    if pid == 0:
        os.chdir(tempfile.mkdtemp())
        os.execv(program, [program])
    time.sleep(0.5)  # the width probe times out unanswered
    fcntl.fcntl(master, fcntl.F_SETFL, fcntl.fcntl(master, fcntl.F_GETFL) | os.O_NONBLOCK)
    typed = 0
    stalled_since = None
    while stalled_since is None or time.monotonic() - stalled_since < 0.5:
        try:
            typed += os.write(master, b"\x1b[B")
            stalled_since = None
        except BlockingIOError:
            stalled_since = stalled_since or time.monotonic()
            time.sleep(0.01)
    sent = time.monotonic()
    os.kill(pid, signal.SIGTERM)
    while True:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            break
        if time.monotonic() - sent > 10:
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
            print("stalled terminal: SIGTERM ignored for 10 s")
            return
        time.sleep(0.001)
    latency = time.monotonic() - sent
    mode = termios.tcgetattr(master)
    cooked = bool(mode[3] & termios.ICANON) and bool(mode[3] & termios.ECHO)
    how = ("signal %d" % os.WTERMSIG(status)) if os.WIFSIGNALED(status) else (
        "status %d" % os.WEXITSTATUS(status))
    print("stalled terminal: %d bytes of arrows typed; SIGTERM to exit %.3f s (%s), "
          "terminal mode given back: %s" % (typed, latency, how, cooked))
    os.close(master)


def read_until(master, marker, limit):
    """Reads the terminal until `marker` has come; returns when it came, or None."""
    seen = b""
    end = time.monotonic() + limit
    while time.monotonic() < end:
        try:
            seen += os.read(master, 65536)
        except BlockingIOError:
            time.sleep(0.0005)
            continue
        if marker in seen:
            return time.monotonic()
    return None


def start_time(program, level):
    pid, master = pty.fork()
    if pid == 0:
        os.chdir(tempfile.mkdtemp())
        os.environ["LC_ALL"] = "C.UTF-8"
        os.execv(program, [program, "--computer", level])
    fcntl.fcntl(master, fcntl.F_SETFL, fcntl.fcntl(master, fcntl.F_GETFL) | os.O_NONBLOCK)
    read_until(master, "게임 종료".encode(), 5)  # the title screen
    os.write(master, b"\r")
    read_until(master, "대련모드".encode(), 5)  # the mode menu
    os.write(master, b"\x1b[B")
    time.sleep(0.1)
    read_until(master, b"\x00", 0.05)  # what the marker's move drew
    chosen = time.monotonic()
    os.write(master, b"\r")
    shown = read_until(master, "게임을 시작합니다".encode(), 10)
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)
    os.close(master)
    return None if shown is None else shown - chosen


def game_start(program):
    for level in ("easy", "basic", "medium", "strong"):
        times = sorted(start_time(program, level) or float("inf") for _ in range(5))
        print("game screen after choosing the mode, --computer %s: %.1f ms (median of 5)"
              % (level, 1000 * times[2]))


def main():
    program = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/src/yutnori")
    piped_input(program)
    stalled_terminal(program)
    game_start(program)


if __name__ == "__main__":
    main()
