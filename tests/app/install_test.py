#!/usr/bin/python3
"""The program installed into a fresh prefix: every file in its place, and
the installed program runs from anywhere, finding its data there.

usage: install_test.py BUILD_DIR ARC.dxf   (a drawing with an arc)

Every run of the program has a time limit: one that waits for an answer
nobody gives fails instead of holding up the tests."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

build, drawing = sys.argv[1], os.path.abspath(sys.argv[2])
LIMIT_S = 60
problems = []
tmp = tempfile.mkdtemp(prefix="vestrel-install-")
try:
    prefix = os.path.join(tmp, "prefix")
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL,
                   timeout=LIMIT_S)
    wanted = ["bin/vestrel", "share/vestrel/template0.dat", "share/vestrel/template1.dat", "share/vestrel/translate.dat",
              "share/applications/vestrel.desktop", "share/mime/packages/vestrel-dxf.xml",
              "share/icons/hicolor/scalable/apps/vestrel.svg"] + \
             ["share/icons/hicolor/%dx%d/apps/vestrel.png" % (n, n) for n in (16, 32, 48, 64, 128, 256)]
    for f in wanted:
        if not os.path.isfile(os.path.join(prefix, f)):
            problems.append("not installed: " + f)
    desktop = open(os.path.join(prefix, "share/applications/vestrel.desktop"), encoding="utf-8").read()
    for line in ("Exec=vestrel %f", "Icon=vestrel", "MimeType=image/vnd.dxf;"):
        if line not in desktop.splitlines():
            problems.append("the launcher lacks " + line)
    if shutil.which("desktop-file-validate"):
        r = subprocess.run(["desktop-file-validate", os.path.join(prefix, "share/applications/vestrel.desktop")],
                           capture_output=True, text=True, timeout=LIMIT_S)
        if r.returncode != 0:
            problems.append("desktop-file-validate: " + r.stdout + r.stderr)

    program = os.path.join(prefix, "bin", "vestrel")
    elsewhere = os.path.join(tmp, "work")
    os.makedirs(elsewhere)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
               XDG_DATA_HOME=os.path.join(tmp, "data"))
    r = subprocess.run([program, "--version"], capture_output=True, text=True, cwd=elsewhere, env=env,
                       timeout=LIMIT_S)
    if r.returncode != 0 or not r.stdout.startswith("vestrel "):
        problems.append("--version: %r" % r.stdout)
    r = subprocess.run([program, "--info", drawing], capture_output=True, text=True, cwd=elsewhere, env=env,
                       timeout=LIMIT_S)
    if r.returncode != 0 or "entities ARC: " not in r.stdout:
        problems.append("--info: exit %d, %r" % (r.returncode, r.stdout[:200]))
    # A new drawing comes from the installed template, not from a built-in
    # copy: the template is marked with a comment first.
    template = os.path.join(prefix, "share/vestrel/template1.dat")
    with open(template, "rb") as f:
        text = f.read()
    with open(template, "wb") as f:
        f.write(b"999\r\ninstalled template\r\n" + text)
    script = os.path.join(tmp, "draw.replay")
    saved = os.path.join(tmp, "new.dxf")
    with open(script, "w") as f:
        f.write("trigger LineBtn\nclick @0,0 ctrl\nclick @2,1 ctrl\nclick @2,1 right\nsaveas %s\n" % saved)
    r = subprocess.run([program, "--replay", script], capture_output=True, text=True, cwd=elsewhere, env=env,
                       timeout=LIMIT_S)
    if r.returncode != 0:
        problems.append("--replay: exit %d: %s" % (r.returncode, r.stderr[-500:]))
    elif not open(saved, "rb").read().startswith(b"999\r\ninstalled template\r\n"):
        problems.append("the new drawing does not come from the installed template")

    # English chosen, then two starts: both speak it (the dictionary the
    # program met texts with in the per-user folder hides nothing shipped).
    def replay(lines):
        with open(script, "w") as f:
            f.write("\n".join(lines) + "\n")
        return subprocess.run([program, "--replay", script], capture_output=True, text=True, cwd=elsewhere, env=env,
                              timeout=LIMIT_S)
    r = replay(["answer message ok", "trigger English1", "state", "trigger Beenden1"])
    if r.returncode != 0 or "menus: Datei, Bearbeiten" not in r.stdout:
        problems.append("choosing English: exit %d: %s %s" % (r.returncode, r.stdout[-300:], r.stderr[-300:]))
    # A per-user dictionary as older versions wrote one (every text, its
    # translations empty) hides none of the shipped ones.
    def text(s):
        units = s.encode("utf-16-le")
        return struct.pack("<I", len(units) // 2) + units
    user_dictionary = os.path.join(tmp, "data", "Korvel", "Vestrel", "translate.dat")
    with open(user_dictionary, "wb") as f:
        f.write(struct.pack("<II", 20, 2) + (text("Datei") + text("") * 19) + (text("Bearbeiten") + text("") * 19))
    for start in (1, 2):
        r = replay(["state", "trigger Beenden1"])
        menus = [l for l in r.stdout.splitlines() if l.startswith("menus: ")]
        if r.returncode != 0 or not menus or not menus[0].startswith("menus: File, Edit"):
            problems.append("start %d after choosing English: %s %s" % (start, menus, r.stderr[-300:]))
    installed = os.path.join(prefix, "share/vestrel/translate.dat")
    shipped = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "translations", "translate.dat")
    if open(installed, "rb").read() != open(shipped, "rb").read():
        problems.append("the installed dictionary was written to")
finally:
    shutil.rmtree(tmp, ignore_errors=True)
for p in problems:
    print("FAIL:", p)
print("install: %s" % ("ok" if not problems else "%d problems" % len(problems)))
sys.exit(1 if problems else 0)
