"""A program killed at any moment while it changes a drawing: the record of
its changes makes the drawing again exactly as it stood after the last
write of the record (or the one under way when it was killed), and no more
than the last second of changes is missing.

usage: recovery_kill_test.py RECOVERY_CHILD WORKDIR [ROUNDS]"""
import os, random, shutil, signal, subprocess, sys, time

child, work = sys.argv[1], sys.argv[2]
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 50
LIMIT_S = 60
random.seed(20261209)
failures = []
checked = 0
for r in range(rounds):
    folder = os.path.join(work, "round%d" % r)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    p = subprocess.Popen([child, "edit", folder, str(r + 1)], stdout=subprocess.PIPE, text=True)
    time.sleep(random.uniform(0.1, 0.8))
    p.send_signal(signal.SIGKILL)
    killed = time.monotonic()
    out = p.communicate(timeout=LIMIT_S)[0].splitlines()
    writes = [(i, l.split()) for i, l in enumerate(out) if l.startswith("writing ")]
    if not writes:
        continue  # killed before the first write: there is nothing to make
    # The drawing of the last whole write; the one under way may have
    # reached the disk too.
    last, (_, state, at) = writes[-1]
    whole = last + 1 < len(out) and out[last + 1] == "written"
    wanted = {state} if whole else {state} | ({writes[-2][1][1]} if len(writes) > 1 else set())
    checked += 1
    got = subprocess.run([child, "recover", folder], capture_output=True, text=True, timeout=LIMIT_S)
    if got.returncode != 0 or got.stdout.strip() not in wanted:
        failures.append("round %d: made %r (exit %d), wanted one of %s" %
                        (r, got.stdout.strip(), got.returncode, sorted(wanted)))
    if killed - float(at) > 1.0:
        failures.append("round %d: the last write was %.2f s before the end" % (r, killed - float(at)))
    shutil.rmtree(folder, ignore_errors=True)
for f in failures:
    print("FAIL:", f)
print("recovery_kill: %d rounds, %d with a record, %s" %
      (rounds, checked, "ok" if not failures else "%d failures" % len(failures)))
sys.exit(1 if failures or checked < rounds // 2 else 0)
