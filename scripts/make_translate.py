#!/usr/bin/python3
"""Makes translate.dat, the dictionary shipped with the program.

Usage: make_translate.py [--program VESTREL_TEXTS] [--out FILE] [--check]

The German texts are those the program shows, as its helper vestrel_texts
lists them (the command table's captions and hints, every dialog, the
messages, ...), so build it first:

    cmake --build build --target vestrel_texts
    scripts/make_translate.py

Their translations come from translations/LANGUAGE.tsv (english.tsv fills
slot 1, italian.tsv slot 2, and so on): a German text, a tab, its
translation; \\n, \\t and \\\\ stand for a line break, a tab and a
backslash; lines starting with # are comments. Every text needs an English
translation: the texts that have none are listed and nothing is written.
--check writes nothing either and fails when translate.dat is not what
would be written.
"""
import argparse
import os
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LANGUAGES = ["german", "english", "italian", "french", "spanish", "russian", "portuguese", "dutch", "polish",
             "czech"]
SLOTS = 20


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(s[i + 1], "\\" + s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


def shown_texts(program):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    p = subprocess.run([program], capture_output=True, text=True, encoding="utf-8", env=env, check=True)
    return [unescape(line) for line in p.stdout.splitlines() if line]


def read_tsv(path):
    table = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.count("\t") != 1:
                sys.exit(f"{path}:{n}: wants a German text, one tab and its translation")
            german, translated = (unescape(x) for x in line.split("\t"))
            table[german] = translated
    return table


def encode(entries):
    out = [struct.pack("<II", SLOTS, len(entries))]
    for slots in entries:
        for text in slots + [""] * (SLOTS - len(slots)):
            units = text.encode("utf-16-le")
            out.append(struct.pack("<I", len(units) // 2) + units)
    return b"".join(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--program", default=os.path.join(ROOT, "build", "bin", "vestrel_texts"))
    ap.add_argument("--out", default=os.path.join(ROOT, "translations", "translate.dat"))
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()

    texts = shown_texts(args.program)
    tables = {}
    for n, language in enumerate(LANGUAGES):
        path = os.path.join(ROOT, "translations", language + ".tsv")
        if n > 0 and os.path.exists(path):
            tables[n] = read_tsv(path)
    english = tables.get(1, {})
    missing = [t for t in texts if not english.get(t, "").strip(" ")]
    if missing:
        print(f"{len(missing)} texts have no English translation in translations/english.tsv:")
        for t in missing:
            print("  " + t.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t"))
        return 1
    for n, table in tables.items():
        for german in sorted(set(table) - set(texts)):
            print(f"note: translations/{LANGUAGES[n]}.tsv translates a text the program does not show: {german}")

    entries = []
    for t in texts:
        slots = [t] + [tables.get(n, {}).get(t, "") for n in range(1, len(LANGUAGES))]
        while slots and not slots[-1]:
            slots.pop()
        entries.append(slots)
    data = encode(entries)
    if args.check:
        with open(args.out, "rb") as f:
            same = f.read() == data
        print(f"{args.out} is {'up to date' if same else 'not what the program shows: run scripts/make_translate.py'}")
        return 0 if same else 1
    with open(args.out, "wb") as f:
        f.write(data)
    print(f"{args.out}: {len(entries)} texts, every one with its English translation")
    return 0


if __name__ == "__main__":
    sys.exit(main())
