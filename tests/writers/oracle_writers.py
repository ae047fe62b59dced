#!/usr/bin/python3
"""Reads what our writers wrote with ezdxf, an independent DXF library.

Usage: oracle_writers.py WRITE_SAMPLES_BINARY

Runs the program into a temporary folder; it writes one drawing per DXF
version with every writer called once, the same drawings untouched, and
expected.json, which says what must be in them. For every drawing this
checks that

  * ezdxf loads it, in the right version, and its audit finds no error
    and has nothing to fix that it did not fix in the untouched drawing;
  * every handle in the file is used once and $HANDSEED is above all of
    them; no entity has its handle or owner after its first subclass
    marker (where ezdxf no longer looks for them), and ezdxf reads each
    new entity under the handle the file gives it;
  * every expected entity is there, once, in its layout and on its layer,
    with its geometry (relative tolerance 1e-9), and no other entity was
    added; a text has the characters that were typed, as ezdxf reads them
    in the drawing's code page (with the "\\U+XXXX" escapes of what the
    code page lacks); a spline passes through the points it was drawn
    through (within 1e-6 of the drawing's size);
  * the new layer and line type are in their tables with their values.

Prints a report; exit status 0 when everything holds, else 1.
"""
import json
import os
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf.math import Vec3

REL_TOL = 1e-9
META_KEYS = {"name", "dxftype", "layout", "layer", "id_unique_above", "passes_through"}
ANGLE_KEYS = {"start_angle", "end_angle"}


class Report:
    def __init__(self):
        self.failures = 0
        self.checks = 0

    def check(self, ok, what, detail=""):
        self.checks += 1
        if not ok:
            self.failures += 1
            print(f"  FAIL {what}" + (f": {detail}" if detail else ""))
        return ok


def close(a, b):
    return abs(a - b) <= REL_TOL * max(1.0, abs(a), abs(b))


def close_angle(a, b):
    """Degrees, the same direction whatever whole turns lie between."""
    d = (a - b) % 360.0
    return min(d, 360.0 - d) <= REL_TOL * max(1.0, abs(a), abs(b))


def same(expected, actual, angle=False):
    if isinstance(expected, bool) or isinstance(expected, str):
        return expected == actual
    if isinstance(expected, (int, float)):
        try:
            value = float(actual)
        except (TypeError, ValueError):
            return False
        return close_angle(expected, value) if angle else close(expected, value)
    actual = list(actual)
    if len(expected) != len(actual):
        return False
    return all(same(e, a) for e, a in zip(expected, actual))


# --- the file as pairs of lines, read without ezdxf ----------------------

def read_pairs(path):
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").splitlines()
    if len(lines) % 2:
        raise ValueError(f"odd number of lines ({len(lines)})")
    pairs = []
    for i in range(0, len(lines), 2):
        try:
            code = int(lines[i].strip())
        except ValueError:
            raise ValueError(f"line {i + 1}: {lines[i]!r} is no group code")
        pairs.append((code, lines[i + 1].strip(), i + 1))
    return pairs


def records(pairs):
    """(section, type, pairs of the record) for every "0" record."""
    section = None
    out = []
    current = None
    for i, (code, value, line) in enumerate(pairs):
        if code == 0:
            if current is not None:
                out.append(current)
            current = (section, value, [])
            if value == "ENDSEC":
                section = None
            elif value == "SECTION" and i + 1 < len(pairs) and pairs[i + 1][0] == 2:
                section = pairs[i + 1][1]
        elif current is not None:
            current[2].append((code, value, line))
    if current is not None:
        out.append(current)
    return out


def handle_of(rtype, tags):
    code = 105 if rtype == "DIMSTYLE" else 5
    for c, v, line in tags:
        if c == code:
            return v, line
    return None, None


def check_handles(rep, recs, pairs):
    """Every handle once, the seed above all of them."""
    seen = {}
    for section, rtype, tags in recs:
        if section == "HEADER" or rtype in ("SECTION", "ENDSEC", "EOF"):
            continue
        h, line = handle_of(rtype, tags)
        if h is None:
            continue
        try:
            value = int(h, 16)
        except ValueError:
            rep.check(False, f"handle {h!r} of {rtype} at line {line}", "not hexadecimal")
            continue
        if value in seen:
            rep.check(False, f"handle {h} of {rtype} at line {line}",
                      f"already used by {seen[value][0]} at line {seen[value][1]}")
        else:
            seen[value] = (rtype, line)
    rep.check(len(seen) > 0, "the file has handles")
    seed = None
    for i, (code, value, line) in enumerate(pairs):
        if code == 9 and value == "$HANDSEED" and i + 1 < len(pairs):
            seed = pairs[i + 1][1]
            break
    if rep.check(seed is not None, "$HANDSEED present"):
        top = max(seen) if seen else 0
        rep.check(int(seed, 16) > top, "$HANDSEED above every handle",
                  f"seed {seed}, largest handle {top:X}")
    return set(seen)


def misplaced_handles(recs):
    """Per entity type of the ENTITIES section: how many records there are,
    and the lines of those whose handle or owner comes after the first
    subclass marker, where a reader no longer looks for them."""
    out = {}
    for section, rtype, tags in recs:
        if section != "ENTITIES":
            continue
        entry = out.setdefault(rtype, [0, []])
        entry[0] += 1
        subclass = False
        for c, v, line in tags:
            if c == 100:
                subclass = True
            elif c in (5, 330) and subclass:
                entry[1].append(line)
                break
    return out


def r12_viewport_views(path):
    """The view of every VIEWPORT of an R12 file, by handle.

    R12 keeps it in the viewport's ACAD MVIEW extended data. ezdxf 0.18
    reads that into a namespace it then throws away (a viewport it wrote
    itself comes back without its view as well), so its own reading of the
    extended data is run here again on the entity's tags."""
    from ezdxf.entities import Viewport
    from ezdxf.entities.xdata import XData
    from ezdxf.lldxf.extendedtags import ExtendedTags
    from ezdxf.lldxf.tagger import ascii_tags_loader, tag_compiler

    with open(path, encoding="cp1252") as f:
        tags = list(tag_compiler(iter(ascii_tags_loader(f))))
    views = {}
    starts = [i for i, t in enumerate(tags) if t.code == 0] + [len(tags)]
    for a, b in zip(starts, starts[1:]):
        if tags[a].value != "VIEWPORT":
            continue
        et = ExtendedTags(tags[a:b])
        vp = Viewport()
        vp.load_tags(et, dxfversion="AC1009")
        if len(et.xdata):
            vp.xdata = XData(et.xdata)
            vp.load_xdata_into_dxf_namespace()
        if vp.dxf.handle is not None:
            views[int(vp.dxf.handle, 16)] = vp.dxf
    return views


# --- what ezdxf finds -----------------------------------------------------

def unicode_text(raw):
    """A text as typed: its escapes decoded, a pair of them (the halves of a
    character beyond U+FFFF) joined."""
    if raw is None:
        return None
    text = ezdxf.decode_dxf_unicode(raw)
    return text.encode("utf-16", "surrogatepass").decode("utf-16")


def off_curve(spline, points):
    """The largest distance of `points` from the curve of `spline`."""
    curve = spline.construction_tool()
    top = curve.max_t
    n = 4000
    ts = [top * i / n for i in range(n + 1)]
    samples = list(curve.points(ts))
    worst = 0.0
    for p in points:
        p = Vec3(p)
        k = min(range(len(samples)), key=lambda j: samples[j].distance(p))
        lo, hi = ts[max(k - 1, 0)], ts[min(k + 1, n)]
        for _ in range(100):  # the nearest point between the neighbours
            a, b = lo + (hi - lo) / 3, hi - (hi - lo) / 3
            if curve.point(a).distance(p) < curve.point(b).distance(p):
                hi = b
            else:
                lo = a
        worst = max(worst, curve.point((lo + hi) / 2).distance(p))
    return worst


def geometry(entity, key, views):
    """The value of `key` of an ezdxf entity, in the terms of expected.json;
    what the file leaves out has ezdxf's default value."""
    t = entity.dxftype()
    if t == "VIEWPORT" and key.startswith("view_") and views is not None:
        ns = views.get(int(entity.dxf.handle, 16))
        value = ns.get(key) if ns is not None else None
        if value is not None and key == "view_center_point":
            return [value.x, value.y]
        return value
    if key == "vertices":
        if t == "LWPOLYLINE":
            return [list(p) for p in entity.get_points("xyb")]
        return [[v.dxf.location.x, v.dxf.location.y, v.dxf.bulge] for v in entity.vertices]
    if key == "text":
        return unicode_text(entity.text if t == "MTEXT" else entity.dxf.get("text"))
    if t == "SPLINE":
        if key in ("start", "end"):
            points = entity.control_points
            return list(points[0] if key == "start" else points[-1]) if len(points) else None
        if key == "knots":
            return list(entity.knots)
        if key == "control_count":
            return len(entity.control_points)
        if key == "closed":
            return bool(entity.closed)
    if key == "closed":
        return bool(entity.is_closed)
    value = entity.dxf.get(key)
    if value is None:
        try:
            value = entity.dxf.get_default(key)
        except Exception:
            return None
    if value is None:
        return None
    if key == "view_center_point":  # a 2-D point; ezdxf gives it a z
        return [value.x, value.y]
    if hasattr(value, "x"):
        return list(value)
    return value


def vertices_match(expected, actual):
    return len(expected) == len(actual) and all(same(e, a) for e, a in zip(expected, actual))


def mismatches(exp, entity, all_vps, views):
    """Fields of `exp` that `entity` does not have, as text."""
    out = []
    if entity.dxf.get("layer") != exp["layer"]:
        out.append(f"layer {entity.dxf.get('layer')!r}, expected {exp['layer']!r}")
    for key, want in exp.items():
        if key in META_KEYS:
            continue
        got = geometry(entity, key, views)
        if key == "vertices":
            ok = got is not None and vertices_match(want, got)
        else:
            ok = got is not None and same(want, got, angle=key in ANGLE_KEYS)
        if not ok:
            out.append(f"{key} {fmt(got)}, expected {fmt(want)}")
    if "passes_through" in exp:
        size = max(abs(c) for p in exp["passes_through"] for c in p)
        off = off_curve(entity, exp["passes_through"])
        if not off <= 1e-6 * max(1.0, size):
            out.append(f"passes its points at up to {off:.3g} away")
    if "id_unique_above" in exp:
        vid = entity.dxf.get("id")
        others = [v.dxf.get("id") for v in all_vps if v is not entity]
        if vid is None or vid <= exp["id_unique_above"] or vid in others:
            out.append(f"id {vid}, expected one above {exp['id_unique_above']} "
                       f"that no other viewport has (others: {others})")
    return out


def fmt(v):
    if isinstance(v, float):
        return f"{v:.17g}"
    if isinstance(v, (list, tuple)):
        return "(" + ", ".join(fmt(x) for x in v) + ")"
    return repr(v)


def layout_of(doc, name):
    return doc.modelspace() if name == "model" else doc.layouts.get(name)


def check_entities(rep, doc, base, expected, raw_handles, misplaced, views):
    by_layout = {}
    for exp in expected:
        by_layout.setdefault(exp["layout"], []).append(exp)
    all_vps = [e for e in doc.entitydb.values() if e.dxftype() == "VIEWPORT"]
    for lname, exps in by_layout.items():
        try:
            layout = layout_of(doc, lname)
            base_layout = layout_of(base, lname)
        except Exception as e:
            rep.check(False, f"layout {lname}", f"{type(e).__name__}: {e}")
            continue
        present = list(layout)
        rep.check(len(present) == len(base_layout) + len(exps),
                  f"number of entities in {lname}",
                  f"{len(present)}, expected {len(base_layout)} of the new "
                  f"drawing and {len(exps)} written")
        left = list(present)
        for exp in exps:
            what = f"{exp['dxftype']} ({exp['name']}) in {lname}"
            candidates = [e for e in left if e.dxftype() == exp["dxftype"]]
            found = None
            best = None
            for e in candidates:
                diff = mismatches(exp, e, all_vps, views)
                if not diff:
                    found = e
                    break
                if best is None or len(diff) < len(best[1]):
                    best = (e, diff)
            if found is None:
                if best is None:
                    rep.check(False, what, f"no {exp['dxftype']} in the layout")
                else:
                    rep.check(False, what, "; ".join(best[1]))
                continue
            rep.check(True, what)
            left.remove(found)
            h = found.dxf.handle
            rep.check(int(h, 16) in raw_handles, f"{what}: ezdxf reads its handle",
                      f"ezdxf has it as {h}, which the file does not give it")
    for rtype, (count, lines) in sorted(misplaced.items()):
        rep.check(not lines, f"handles of the {count} {rtype} before the subclass marker",
                  f"{len(lines)} after it, the first at line {lines[0] if lines else 0}")


def check_tables(rep, doc, layers, linetypes):
    for exp in linetypes:
        what = f"LTYPE {exp['name']}"
        if not rep.check(exp["name"] in doc.linetypes, what, "not in the table"):
            continue
        lt = doc.linetypes.get(exp["name"])
        rep.check(lt.dxf.get("description") == exp["description"], f"{what} description",
                  f"{lt.dxf.get('description')!r}, expected {exp['description']!r}")
        tags = lt.pattern_tags.tags
        total = tags.get_first_value(40, None)
        elements = [t.value for t in tags if t.code == 49]
        count = tags.get_first_value(73, None)
        rep.check(count == len(elements), f"{what} element count (73)",
                  f"{count} for {len(elements)} elements")
        got = [total] + elements
        rep.check(total is not None and same(exp["pattern"], got), f"{what} pattern",
                  f"{fmt(got)}, expected {fmt(exp['pattern'])} (total length, elements)")
    for exp in layers:
        what = f"LAYER {exp['name']}"
        if not rep.check(exp["name"] in doc.layers, what, "not in the table"):
            continue
        layer = doc.layers.get(exp["name"])
        for key in ("color", "linetype", "lineweight"):
            if key in exp:
                got = layer.dxf.get(key)
                rep.check(got == exp[key], f"{what} {key}", f"{got!r}, expected {exp[key]!r}")
        if "linetype" in exp:
            rep.check(exp["linetype"] in doc.linetypes, f"{what}: its line type exists")
        if doc.dxfversion > "AC1009" and layer.dxf.hasattr("plotstyle_handle"):
            h = layer.dxf.plotstyle_handle
            rep.check(h in doc.entitydb, f"{what}: its plot style (390) is an object",
                      f"{h!r} is none")


def audit(doc):
    auditor = doc.audit()
    return ([f"{e.code}: {e.message}" for e in auditor.errors],
            [f"{e.code}: {e.message}" for e in auditor.fixes])


def check_drawing(rep, outdir, drawing):
    path = os.path.join(outdir, drawing["file"])
    print(f"{drawing['file']} ({drawing['version']}):")
    try:
        pairs = read_pairs(path)
    except (OSError, ValueError) as e:
        rep.check(False, "readable as group code / value pairs", str(e))
        return
    recs = records(pairs)
    raw_handles = check_handles(rep, recs, pairs)
    misplaced = misplaced_handles(recs)

    try:
        doc = ezdxf.readfile(path)
        base = ezdxf.readfile(os.path.join(outdir, drawing["base"]))
    except Exception as e:
        rep.check(False, "ezdxf loads it", f"{type(e).__name__}: {e}")
        return
    rep.check(doc.dxfversion == drawing["version"], "version",
              f"{doc.dxfversion}, expected {drawing['version']}")
    errors, fixes = audit(doc)
    _, base_fixes = audit(base)
    for e in errors:
        rep.check(False, "audit", e)
    rep.check(not errors, "audit without errors")
    new_fixes = [f for f in fixes if f not in base_fixes]
    for f in new_fixes:
        rep.check(False, "audit had to fix", f)

    # Read again: the audit may have changed the document.
    doc = ezdxf.readfile(path)
    views = r12_viewport_views(path) if doc.dxfversion == "AC1009" else None
    check_entities(rep, doc, base, drawing["entities"], raw_handles, misplaced, views)
    check_tables(rep, doc, drawing["layers"], drawing["linetypes"])


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    rep = Report()
    with tempfile.TemporaryDirectory(prefix="vestrel-oracle-") as outdir:
        run = subprocess.run([argv[1], outdir], capture_output=True, text=True, timeout=120)
        if run.stdout:
            print(run.stdout, end="")
        if run.stderr:
            print(run.stderr, end="")
        if run.returncode != 0:
            print(f"FAIL {argv[1]} exited with {run.returncode}")
            return 1
        with open(os.path.join(outdir, "expected.json"), encoding="utf-8") as f:
            expected = json.load(f)
        for drawing in expected["drawings"]:
            check_drawing(rep, outdir, drawing)
    print(f"{rep.checks} checks, {rep.failures} failed")
    return 0 if rep.failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
