#!/usr/bin/python3
"""Replay scripts run by the real program, offscreen: what they print, how
they end, and the files they write (or, when a line cannot run, do not).

Usage: replay_cases.py VESTREL CORPUS_DIR

Each case is a script with its command line; @CORPUS@ and @TMP@ (a fresh
folder for the case) stand for those folders and @SCRIPT@ for the script's
path.  Exit status 0 when every case holds, 1 otherwise.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import ezdxf

CASES = [
    dict(
        name="corpus drawing: zoom, tabs, undo, save as",
        args=["--size", "800x600"],
        script="""
            # a layout visited for the first time gets its viewport
            open @CORPUS@/Gear.dxf
            trigger Vergrern1
            wheel 400 300 up
            tab 1
            state
            key ctrl+z
            tab 0
            trigger Alleszeigen1
            png @TMP@/gear.png
            saveas @TMP@/copy.dxf
            state
            # the copy is the open drawing now: saving writes it again
            save
            tab 1
            answer message no
            new
            state
        """,
        stdout=["modes:", "down:", "undo: 1", "modified: 1", "tab: 1", "caption: Vestrel - [Gear.dxf*]",
                "menus: Datei, Bearbeiten, Ansicht, Zeichnen, Optionen",
                "undo: 0", "modified: 0", "tab: 0", "caption: Vestrel - [copy.dxf]",
                "undo: 0", "modified: 0", "caption: Vestrel - [unbenannt.dxf]"],
        same=("@TMP@/copy.dxf", "@CORPUS@/Gear.dxf"),  # the viewport taken back
        png=("@TMP@/gear.png", 800, 600),
        audit="@TMP@/copy.dxf",
    ),
    dict(
        name="the question before a new drawing, and saving over a file",
        args=["@CORPUS@/arc1.dxf"],
        script="""
            tab 1
            answer message cancel
            new12
            saveas @TMP@/arc1.dxf
            answer message yes
            saveas @TMP@/arc1.dxf
            # any file dialog, by the names of its controls
            answer QFileDialog fileNameEdit=@TMP@/other.dxf ok
            trigger Speichernunter1
            state
        """,
        stdout=["message 7: Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?",
                "message 0: arc1.dxf already exists.\\nDo you want to replace it?",
                "modified: 0", "caption: Vestrel - [other.dxf]"],
        same=("@TMP@/arc1.dxf", "@TMP@/other.dxf"),
        audit="@TMP@/arc1.dxf",
    ),
    dict(
        name="the file to open is not given to the save dialog of the question before",
        copy=("@CORPUS@/arc1.dxf", "@TMP@/arc1.dxf"),
        script="tab 1\nanswer message yes\nopen @TMP@/arc1.dxf\n",
        exit=1, stderr="@SCRIPT@:3: a save dialog opened, but the file is one to open",
        same=("@TMP@/arc1.dxf", "@CORPUS@/arc1.dxf"),
    ),
    dict(
        name="an unknown word: nothing runs",
        script="state\nsaveas @TMP@/never.dxf\nfrobnicate\n",
        exit=1, stderr='@SCRIPT@:3: unknown command "frobnicate"', stdout=None, nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a missing file",
        script="open @TMP@/missing.dxf\nsaveas @TMP@/never.dxf\n",
        exit=1, stderr="@SCRIPT@:1: there is no file @TMP@/missing.dxf", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a missing file to start with",
        args=["@TMP@/missing.dxf"],
        script="saveas @TMP@/never.dxf\n",
        exit=1, stderr="vestrel: cannot open @TMP@/missing.dxf", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a folder for a script",
        script="", script_arg="@TMP@",
        exit=1, stderr="vestrel: cannot read @TMP@",
    ),
    dict(
        name="an answer for the wrong dialog",
        script="answer ViewPortForm ok\ntrigger Drucken1\nsaveas @TMP@/never.dxf\n",
        exit=1,
        stderr="@SCRIPT@:2: DruckenForm opened, but the answer queued (line 1) is for ViewPortForm",
        nofile="@TMP@/never.dxf",
    ),
    dict(
        name="an answer left over",
        script="answer message yes\nstate\nsaveas @TMP@/never.dxf\n",
        exit=1, stderr="@SCRIPT@:2: the answer of line 1 for message was not asked for", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="an answer left at the end",
        script="tab 1\nanswer DruckenForm ok\n",
        exit=1, stderr="@SCRIPT@:2: the answer for DruckenForm was never asked for",
    ),
]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def lines_of(path):
    """The lines of a drawing, whatever ends them, but for the value of
    $HANDSEED: a handle given out stays given out, even when its object is
    taken back."""
    with open(path, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    while lines and not lines[-1]:
        lines.pop()
    for i in range(len(lines) - 2):
        if lines[i].strip() == b"$HANDSEED":
            lines[i + 2] = b"(handle seed)"
    return lines


def run_case(vestrel, corpus, case):
    """Returns what is wrong with the case, an empty list when nothing."""
    tmp = tempfile.mkdtemp(prefix="vestrel-replay-")
    try:
        script = os.path.join(tmp, "case.replay")
        subst = lambda s: s.replace("@CORPUS@", corpus).replace("@TMP@", tmp).replace("@SCRIPT@", script)
        with open(script, "w", encoding="utf-8") as f:
            f.write("\n".join(line.strip() for line in subst(case["script"]).splitlines()) + "\n")
        if "copy" in case:
            shutil.copyfile(*(subst(x) for x in case["copy"]))
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_DATA_HOME=os.path.join(tmp, "data"))
        p = subprocess.run([vestrel, "--replay", subst(case.get("script_arg", script))] +
                           [subst(a) for a in case.get("args", [])],
                           capture_output=True, text=True, env=env, timeout=120)
        problems = []
        if p.returncode != case.get("exit", 0):
            problems.append(f"exit {p.returncode}, wanted {case.get('exit', 0)}")
        if "stderr" in case and subst(case["stderr"]) not in p.stderr.splitlines():
            problems.append(f"no line {subst(case['stderr'])!r} on stderr")
        if "stderr" not in case and ".replay:" in p.stderr:
            problems.append("a line could not run")
        wanted = case.get("stdout", [])
        if wanted is None:
            if p.stdout:
                problems.append("printed something, wanted nothing")
        else:
            # The lines wanted, in this order, among those printed.
            out = iter(p.stdout.splitlines())
            for line in wanted:
                if not any(o == line for o in out):
                    problems.append(f"no line {line!r} on stdout (in its place)")
                    break
        if "nofile" in case and os.path.exists(subst(case["nofile"])):
            problems.append(f"{case['nofile']} was written")
        if "same" in case:
            a, b = (subst(x) for x in case["same"])
            if not os.path.exists(a) or lines_of(a) != lines_of(b):
                problems.append(f"{a} is not {b}")
        if "png" in case:
            path, w, h = case["png"]
            size = png_size(subst(path)) if os.path.exists(subst(path)) else None
            if size != (w, h):
                problems.append(f"{path}: {size}, wanted {(w, h)}")
        if "audit" in case:
            auditor = ezdxf.readfile(subst(case["audit"])).audit()
            if auditor.has_errors:
                problems.append(f"ezdxf finds errors in {case['audit']}: {[e.message for e in auditor.errors]}")
        if problems:
            problems += ["stdout:", p.stdout, "stderr:", p.stderr]
        return problems
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    vestrel, corpus = argv[1], os.path.abspath(argv[2])
    failed = 0
    for case in CASES:
        problems = run_case(vestrel, corpus, case)
        print(("FAIL " if problems else "ok   ") + case["name"])
        for p in problems:
            print("     " + p)
        failed += bool(problems)
    print(f"{len(CASES) - failed} of {len(CASES)} cases hold")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
