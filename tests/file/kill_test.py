"""A save killed at any moment: the drawing is always the old file or the
complete new one, the temporary file is never readable by others, and the
next save removes what the killed one left. A drawing with a second name
(a hard link) is written in place: there a killed save may leave it half
written, but only with the whole new text in the copy beside it, which no
save removes; and both names stay one file.

usage: kill_test.py SAVE_CHILD GEN_BIG.PY WORKDIR [ROUNDS]"""
import os, random, stat, subprocess, sys, time

child, gen_big, work = sys.argv[1], sys.argv[2], sys.argv[3]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 50
os.makedirs(work, exist_ok=True)
source = os.path.join(work, "big.dxf")
if not os.path.exists(source):
    subprocess.run([sys.executable, gen_big, source, "1"], check=True, stdout=subprocess.DEVNULL, timeout=300)
old = open(source, "rb").read()
new = old.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
assert old != new, "the source must differ from what a save writes"
random.seed(20261209)
failures = []


def named(prefix):
    return [n for n in os.listdir(work) if n.startswith(prefix)]


def private(names, r):
    """A temporary file or copy on its way is as private as the drawing."""
    for n in names:
        try:
            mode = os.stat(os.path.join(work, n)).st_mode
        except FileNotFoundError:  # renamed or removed meanwhile
            continue
        if mode & (stat.S_IRWXG | stat.S_IRWXO):
            failures.append("round %d: %s has mode %o" % (r, n, stat.S_IMODE(mode)))


def kill_saves(name, linked):
    target = os.path.join(work, name)
    for n in [name, name + ".other"] + named(name + ".vestrel-copy-"):
        if os.path.exists(os.path.join(work, n)):
            os.remove(os.path.join(work, n))
    with open(target, "wb") as f:
        f.write(old)
    os.chmod(target, 0o600)
    other = target + ".other"
    if linked:
        os.link(target, other)
    temporary = "." + name + ".vestrel-save."
    copy = name + ".vestrel-copy-"
    seen_partial = seen_copy = 0
    for r in range(rounds):
        if linked:  # every kill finds the old text to be replaced, in place
            with open(target, "r+b") as f:
                f.write(old)
                f.truncate()
        p = subprocess.Popen([child, source, target], stdout=subprocess.PIPE)
        assert p.stdout.readline() == b"ready\n"
        time.sleep(random.uniform(0, 0.3 if linked else 0.25))
        private(named(temporary) + named(copy), r)
        p.kill()
        p.wait()
        got = open(target, "rb").read()
        copies = [open(os.path.join(work, n), "rb").read() for n in named(copy)]
        if got not in (old, new) and new not in copies:
            failures.append("round %d: %s is neither the old nor the new file (%d bytes), and no copy holds the new"
                            % (r, name, len(got)))
        if stat.S_IMODE(os.stat(target).st_mode) != 0o600:
            failures.append("round %d: the drawing's mode became %o" % (r, stat.S_IMODE(os.stat(target).st_mode)))
        if linked and not os.path.samefile(target, other):
            failures.append("round %d: the drawing's two names are two files now" % r)
            os.remove(other)
            os.link(target, other)
        seen_partial += bool(named(temporary))
        if copies:
            seen_copy += 1
            for n in named(copy):
                os.remove(os.path.join(work, n))

    # A save that is left to finish clears away what the killed ones left.
    p = subprocess.Popen([child, source, target], stdout=subprocess.PIPE)
    assert p.stdout.readline() == b"ready\n"
    deadline = time.time() + 30
    while open(target, "rb").read() != new and time.time() < deadline:
        time.sleep(0.05)
    time.sleep(0.3)
    p.kill()
    p.wait()
    leftover = [n for n in named(temporary) + named(copy) if not n.endswith("." + str(p.pid))
                and n != copy + str(p.pid) + ".dxf"]
    if leftover:
        failures.append("%s: files of killed saves stay: %s" % (name, leftover))
    if linked:
        print("%d kills in place, %d left the copy behind" % (rounds, seen_copy))
    else:
        print("%d kills, %d left a temporary file behind" % (rounds, seen_partial))


kill_saves("plan.dxf", False)
kill_saves("linked.dxf", True)
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
