#!/usr/bin/python3
"""Times a start of the program with a large per-user dictionary.

Usage: dictionary_start.py VESTREL [ENTRIES]

Makes a translate.dat of ENTRIES entries (1,000,000 unless given) of one
short German text each, as large as the program reads (8 MiB at most),
and another of 8 MiB of zeros after its header (two million entries of
nothing). Each is put beside a copy of the program (none of the program's
texts in it: each is met as new) and, with the shipped dictionary beside
the program, into a fresh per-user folder. Then `VESTREL --replay` runs a
script of one line, and the script tells how long the start took, how
often the dictionary was written (counted with strace, where it is
installed) and how large the file is afterwards.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time


def many_texts(n):
    """n entries of L = 1, each a text of two CJK characters: 8 bytes."""
    out = [struct.pack("<II", 1, n)]
    for i in range(n):
        out.append(struct.pack("<IHH", 2, 0x4E00 + i // 4096, 0x4E00 + i % 4096))
    return b"".join(out)


def zeros():
    """The header of two million entries of L = 1, then 8 MiB of zeros."""
    size = 8 << 20
    return struct.pack("<II", 1, (size - 8) // 4) + bytes(size - 8)


def start(vestrel, dictionary, beside):
    tmp = tempfile.mkdtemp(prefix="vestrel-dictionary-")
    try:
        program = os.path.join(tmp, "program")
        os.makedirs(program)
        for name in ("vestrel", "template0.dat", "template1.dat", "translate.dat"):
            shutil.copy(os.path.join(os.path.dirname(vestrel), name), program)
        user = os.path.join(tmp, "data", "Korvel", "Vestrel")
        os.makedirs(user)
        path = os.path.join(program if beside else user, "translate.dat")
        with open(path, "wb") as f:
            f.write(dictionary)
        script = os.path.join(tmp, "state.replay")
        with open(script, "w") as f:
            f.write("state\n")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_DATA_HOME=os.path.join(tmp, "data"))
        command = [os.path.join(program, "vestrel"), "--replay", script]
        trace = os.path.join(tmp, "trace")
        if shutil.which("strace"):
            command = ["strace", "-f", "-qq", "-e", "trace=rename,renameat,renameat2", "-o", trace] + command
        began = time.monotonic()
        p = subprocess.run(command, env=env, capture_output=True, text=True)
        took = time.monotonic() - began
        writes = "?"
        if os.path.exists(trace):
            with open(trace) as f:
                writes = sum(1 for line in f if "translate.dat\"" in line and "= 0" in line)
        size = os.path.getsize(path) if os.path.exists(path) else 0
        print(f"  {'beside the program' if beside else 'per-user':18} {took:6.1f} s, exit {p.returncode}, "
              f"written {writes} times, {len(dictionary)} bytes before, {size} after")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__)
        return 2
    n = int(argv[2]) if len(argv) == 3 else 1_000_000
    for what, dictionary in ((f"{n} entries of one text", many_texts(n)), ("8 MiB of zeros", zeros())):
        print(what + ":")
        for beside in (True, False):
            start(argv[1], dictionary, beside)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
