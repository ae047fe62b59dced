#!/usr/bin/python3
"""The program installed into a fresh prefix: every file in its place, and
the installed program runs from anywhere, finding its data there.

usage: install_test.py BUILD_DIR ARC.dxf   (a drawing with an arc)

Every run of the program has a time limit: one that waits for an answer
nobody gives fails instead of holding up the tests."""
import os
import shutil
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
    wanted = ["bin/vestrel", "share/vestrel/template0.dat", "share/vestrel/template1.dat",
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
finally:
    shutil.rmtree(tmp, ignore_errors=True)
for p in problems:
    print("FAIL:", p)
print("install: %s" % ("ok" if not problems else "%d problems" % len(problems)))
sys.exit(1 if problems else 0)
