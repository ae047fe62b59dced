"""A save killed at any moment: the drawing is always the old file or the
complete new one, the temporary file is never readable by others, and the
next save removes what the killed one left.

usage: kill_test.py SAVE_CHILD GEN_BIG.PY WORKDIR [ROUNDS]"""
import os, random, stat, subprocess, sys, time

child, gen_big, work = sys.argv[1], sys.argv[2], sys.argv[3]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 50
os.makedirs(work, exist_ok=True)
source = os.path.join(work, "big.dxf")
if not os.path.exists(source):
    subprocess.run([sys.executable, gen_big, source, "1"], check=True, stdout=subprocess.DEVNULL, timeout=300)
target = os.path.join(work, "plan.dxf")
old = open(source, "rb").read()
new = old.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
assert old != new, "the source must differ from what a save writes"
with open(target, "wb") as f:
    f.write(old)
os.chmod(target, 0o600)
prefix = "." + os.path.basename(target) + ".vestrel-save."

def temporaries():
    return [n for n in os.listdir(work) if n.startswith(prefix)]

random.seed(20261209)
failures = []
seen_partial = 0
for r in range(rounds):
    p = subprocess.Popen([child, source, target], stdout=subprocess.PIPE)
    assert p.stdout.readline() == b"ready\n"
    time.sleep(random.uniform(0, 0.25))
    # A temporary file on its way is as private as the drawing.
    for n in temporaries():
        try:
            mode = os.stat(os.path.join(work, n)).st_mode
        except FileNotFoundError:  # renamed over the drawing meanwhile
            continue
        if mode & (stat.S_IRWXG | stat.S_IRWXO):
            failures.append("round %d: %s has mode %o" % (r, n, stat.S_IMODE(mode)))
    p.kill()
    p.wait()
    got = open(target, "rb").read()
    if got not in (old, new):
        failures.append("round %d: the drawing is neither the old nor the new file (%d bytes)" % (r, len(got)))
    if stat.S_IMODE(os.stat(target).st_mode) != 0o600:
        failures.append("round %d: the drawing's mode became %o" % (r, stat.S_IMODE(os.stat(target).st_mode)))
    seen_partial += bool(temporaries())

# A save that is left to finish clears away what the killed ones left.
p = subprocess.Popen([child, source, target], stdout=subprocess.PIPE)
assert p.stdout.readline() == b"ready\n"
deadline = time.time() + 30
while open(target, "rb").read() != new and time.time() < deadline:
    time.sleep(0.05)
time.sleep(0.3)
p.kill()
p.wait()
leftover = [n for n in temporaries() if not n.endswith("." + str(p.pid))]
if leftover:
    failures.append("stale temporary files stay: %s" % leftover)
print("%d kills, %d left a temporary file behind" % (rounds, seen_partial))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
