// Random edits of a drawing, of every kind a user or a broken file makes
// (moves, copies one by one and in steps of one pass, deletions, new pairs, broken codes, changed kinds, the
// seed, undo), through the journal; and a drawing of what the corpus lacks.
// Shared by the tests of what a parse after a change reads again and of
// what a paint after a change redraws.
#pragma once

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/dxffile.h"
#include "support/corpus.h"

namespace vestrel::test {

class Edits {
 public:
  Edits(Drawing& d, Journal& j, unsigned seed) : d_(d), j_(j), rng_(seed) {}

  // One random change, as one undo step (or the undo of the last). True
  // when it may have broken the drawing's structure (a changed kind or code
  // line, a line that shifts every pair after it).
  bool once() {
    if (d_.polys.size() < 20 && pick(2) == 0) return copy(), false;  // not to end with nothing
    switch (pick(16)) {
      case 0: case 1: case 2: case 3: move(1); break;
      case 4: move(1 + pick(5)); break;
      case 5: value(); break;
      case 6: erase(1 + pick(3)); break;
      case 7: pick(2) ? copy() : copies(); break;
      case 8: insertPair(); break;
      case 9: erasePair(); break;
      case 10: kind(); return true;
      case 11: anyLine(); return true;
      case 12: UndoLastStep(j_, d_.dxf); break;
      case 13: case 14: widths(); break;
      default: seed(); break;
    }
    return false;
  }

  // The next change of a series: one random change, or the undo of the
  // last when it may have broken the drawing, so that the edits go on on a
  // whole one. True when this one may have broken it.
  bool next() {
    if (broken_) {
      UndoLastStep(j_, d_.dxf);
      return broken_ = false;
    }
    return broken_ = once();
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  // A random entry; its line numbers are those of the last parse, which
  // the edits since may have moved: only one that still fits in the list.
  const tpoly* entity() {
    if (d_.polys.size() == 0) return nullptr;
    const tpoly* p = &d_.polys[static_cast<std::size_t>(pick(static_cast<int>(d_.polys.size())))];
    return static_cast<std::size_t>(p->linebis) < d_.dxf.size() ? p : nullptr;
  }
  std::string number() {
    const char* const texts[] = {"0", "1.5", "-3", "1e3", "x", "  7.25", "40", "-0", "0.0001"};
    return texts[pick(9)];
  }
  // The value lines of an entry whose group is one of `groups`.
  std::vector<std::int32_t> values(const tpoly& p, std::initializer_list<std::string_view> groups) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = p.linefrom + 2; i + 1 <= p.linebis; i += 2)
      for (const std::string_view g : groups)
        if (Trim(d_.dxf[static_cast<std::size_t>(i)]) == g) out.push_back(i + 1);
    return out;
  }

  // What a move does: the coordinates of some entries shifted.
  void move(int count) {
    ChangeStep step(j_, d_.dxf);
    for (int k = 0; k < count; ++k) {
      const tpoly* p = entity();
      if (!p) return;
      const double by = pick(100) - 50;
      for (const std::int32_t line : values(*p, {"10", "20", "11", "21"})) {
        const auto v = ParseDouble(Trim(d_.dxf[static_cast<std::size_t>(line)]));
        step.overwrite(line, v ? std::to_string(*v + by) : number());
      }
    }
  }
  void value() {
    if (const tpoly* p = entity(); p && p->linebis > p->linefrom + 1) {
      const std::int32_t line = p->linefrom + 1 + 2 * pick((p->linebis - p->linefrom + 1) / 2);
      ChangeStep(j_, d_.dxf).overwrite(std::min(line, p->linebis), number());
    }
  }
  void widths() {
    if (const tpoly* p = entity()) {
      ChangeStep step(j_, d_.dxf);
      for (const std::int32_t line : values(*p, {"40", "41", "43"})) step.overwrite(line, number());
    }
  }
  // Whole entries out, the last first.
  void erase(int count) {
    std::vector<const tpoly*> chosen;
    for (int k = 0; k < count; ++k)
      if (const tpoly* p = entity()) chosen.push_back(p);
    std::sort(chosen.begin(), chosen.end(), [](const tpoly* a, const tpoly* b) { return a->linefrom > b->linefrom; });
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    ChangeStep step(j_, d_.dxf);
    for (const tpoly* p : chosen) step.erase(p->linefrom, p->linebis - p->linefrom + 1);
  }
  // An entry's lines again before the end of ENTITIES, and a new seed, as
  // a writer puts them.
  void copy() {
    const tpoly* p = entity();
    if (!p || d_.insertlinepos < 0) return;
    const std::vector<std::string> lines = d_.dxf.copy(static_cast<std::size_t>(p->linefrom),
                                                       static_cast<std::size_t>(p->linebis - p->linefrom + 1));
    seed();
    if (static_cast<std::size_t>(d_.insertlinepos) <= d_.dxf.size()) ChangeStep(j_, d_.dxf).insert(d_.insertlinepos, lines);
  }
  // Entries' lines again, in steps made in one pass as an array makes its
  // copies: before the end of ENTITIES, and before another entry.
  void copies() {
    const tpoly* p = entity();
    const tpoly* q = entity();
    if (!p || !q || d_.insertlinepos < 0 || static_cast<std::size_t>(d_.insertlinepos) > d_.dxf.size()) return;
    const std::vector<std::string> lines = d_.dxf.copy(static_cast<std::size_t>(p->linefrom),
                                                       static_cast<std::size_t>(p->linebis - p->linefrom + 1));
    std::vector<std::vector<LineList::Insertion>> steps(static_cast<std::size_t>(1 + pick(4)));
    for (std::vector<LineList::Insertion>& s : steps) {
      s.push_back({static_cast<std::size_t>(d_.insertlinepos), &lines});
      if (pick(2)) s.push_back({static_cast<std::size_t>(q->linefrom), &lines});
    }
    InsertSteps(j_, d_.dxf, steps);
  }
  void insertPair() {
    if (const tpoly* p = entity()) ChangeStep(j_, d_.dxf).insert(p->linefrom + 2, {" 62", std::to_string(pick(256))});
  }
  void erasePair() {
    const tpoly* p = entity();
    if (!p || p->linebis - p->linefrom < 3) return;
    ChangeStep(j_, d_.dxf).erase(p->linefrom + 2 + 2 * pick((p->linebis - p->linefrom - 1) / 2), 2);
  }
  // An entry made another kind, or a code line made the start of an object.
  void kind() {
    const tpoly* p = entity();
    if (!p) return;
    const char* const kinds[] = {"LINE", "CIRCLE", "3DFACE", "POINT", "INSERT", "ATTRIB", "SEQEND", "ENDSEC", "VERTEX"};
    if (pick(2) == 0 || p->linebis < p->linefrom + 3)
      ChangeStep(j_, d_.dxf).overwrite(p->linefrom + 1, kinds[pick(9)]);
    else
      ChangeStep(j_, d_.dxf).overwrite(p->linefrom + 2 * (1 + pick((p->linebis - p->linefrom - 1) / 2)), "  0");
  }
  void anyLine() {
    if (d_.dxf.size() < 2) return;
    const auto line = static_cast<std::int32_t>(pick(static_cast<int>(d_.dxf.size()) - 1));
    if (pick(3) == 0)
      ChangeStep(j_, d_.dxf).insert(line, {number()});  // one line: every pair after it shifts
    else
      ChangeStep(j_, d_.dxf).overwrite(line, number());
  }
  // The seed overwritten as the writers do it, outside every step.
  void seed() {
    if (d_.handleseedpos >= 0 && static_cast<std::size_t>(d_.handleseedpos) < d_.dxf.size())
      OverwriteKept(j_, d_.dxf, static_cast<std::size_t>(d_.handleseedpos), pick(4) ? "1A2B" : "zz");
  }

  Drawing& d_;
  Journal& j_;
  std::mt19937 rng_;
  bool broken_ = false;
};

// A drawing of what the corpus lacks: polylines whose widths carry on to
// the next, references with attributes, dimensions, a block drawn through
// another, pattern hatches, texts,
// objects stepped over among the entities, and, when `late`, the blocks and
// the tables after the entities.
inline std::string Synthetic(bool late) {
  std::string out;
  int handle = 0x30;
  auto pair = [&](std::string_view code, const std::string& value) {
    out.append(code).append(1, '\n').append(value).append(1, '\n');
  };
  auto object = [&](const char* kind) {
    pair("  0", kind);
    pair("  5", std::to_string(++handle));
    pair("  8", handle % 2 ? "0" : "WALLS");
  };
  auto xy = [&](int code, double x, double y) {
    pair(std::to_string(code), std::to_string(x));
    pair(std::to_string(code + 10), std::to_string(y));
  };
  const std::string header = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\n9999\n  0\nENDSEC\n";
  // Layer WALLS is locked in the late drawing.
  const std::string tables =
      "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n0\n 62\n7\n  0\nLAYER\n  2\nWALLS\n 70\n" +
      std::string(late ? "4" : "0") + "\n 62\n1\n  6\nDASHED\n  0\nENDTAB\n  0\nENDSEC\n";
  std::string blocks;
  {
    std::swap(out, blocks);
    pair("  0", "SECTION"), pair("  2", "BLOCKS");
    for (const std::string_view name : {"DOOR", "*D1", "FRAME"}) {
      pair("  0", "BLOCK"), pair("  3", std::string(name)), xy(10, 0, 0);
      if (name == "FRAME") object("INSERT"), pair("  2", "DOOR"), xy(10, 1, 1);  // a block drawn through another
      object("LWPOLYLINE"), pair(" 90", "2"), xy(10, 0, 0), xy(10, 1, 1);
      object("LINE"), xy(10, 0, 0), xy(11, 2, 0);
      pair("  0", "ENDBLK");
    }
    pair("  0", "ENDSEC");
    std::swap(out, blocks);
  }
  out += header;
  if (!late) out += tables + blocks;
  pair("  0", "SECTION"), pair("  2", "ENTITIES");
  for (int i = 0; i < 12; ++i) {
    const double x = 10 * i;
    object("LINE"), xy(10, x, 0), xy(11, x + 5, 5);
    object("LWPOLYLINE"), pair(" 90", "3");
    if (i % 2) pair(" 40", "0.5"), pair(" 41", "1.5");
    xy(10, x, 1), xy(10, x + 1, 2), xy(10, x + 2, 1);
    object("POLYLINE"), pair(" 66", "1"), pair(" 70", "1");
    for (int v = 0; v < 3; ++v) {
      object("VERTEX"), xy(10, x + v, 3 + v % 2);
      if (v == 1) pair(" 40", "0.25"), pair(" 41", "0.75");
    }
    object("SEQEND");
    // The attributes' owner is their reference; they take its space.
    object("INSERT"), pair("330", "1F"), pair(" 66", "1"), pair("  2", "DOOR"), xy(10, x, 8);
    const std::string insert = std::to_string(handle);
    object("ATTRIB"), pair("330", insert), xy(10, x, 9), pair(" 40", "1"), pair("  1", "A"), pair("  2", "TAG");
    object("ATTRIB"), pair("330", insert), xy(10, x, 10), pair(" 40", "1"), pair("  1", "B"), pair("  2", "TAG2");
    object("SEQEND");
    object("3DFACE"), xy(10, x, 0), xy(11, x, 1), xy(12, x + 1, 1), xy(13, x + 1, 0);
    object("TEXT"), xy(10, x, 12), pair(" 40", "2"), pair("  1", std::to_string(i).insert(0, 1, 'T')), pair(" 50", "30");
    object("DIMENSION"), pair("  2", "*D1"), xy(10, x, 14), xy(11, x + 2, 15), pair(" 70", "0"), xy(13, x, 13),
        xy(14, x + 4, 13), pair(" 42", "4.0");
    object("HATCH"), pair("  2", "ANSI31"), pair(" 70", "0"), pair(" 91", "1"), pair(" 92", "2"), pair(" 72", "0"),
        pair(" 73", "1"), pair(" 93", "4"), xy(10, x, 16), xy(10, x + 4, 16), xy(10, x + 4, 19), xy(10, x, 19),
        pair(" 75", "0"), pair(" 76", "1"), pair(" 52", "0"), pair(" 41", "1"), pair(" 78", "1"), pair(" 53", "45"),
        xy(43, 0, 0), xy(45, -0.5, 0.5), pair(" 79", "2"), pair(" 49", "0.5"), pair(" 49", "-0.25");
    object("CIRCLE"), xy(10, x, 22), pair(" 40", std::to_string(1 + i % 3));
    object("MTEXT"), xy(10, x, 25), pair(" 40", "1"), pair("  1", "one\\Ptwo");
    if (i % 4 == 0) object("INSERT"), pair("  2", "FRAME"), xy(10, x, 28);
  }
  pair("  0", "ENDSEC");
  if (late) out += blocks + tables;
  return out + "  0\nEOF\n";
}

// The drawings the edits run on: the corpus and the synthetic drawing,
// with its blocks and tables before and after its entities.
inline std::vector<std::string> EditedDrawings() {
  std::vector<std::string> all = CorpusFiles();
  all.push_back("synthetic");
  all.push_back("synthetic late");
  return all;
}

// The k-th member of block `name`.
inline tpoly& Member(Drawing& d, std::string_view name, std::size_t k) {
  for (tpoly& p : d.polys)
    if (p.isblock && d.theblockname(p) == name && k-- == 0) return p;
  throw std::out_of_range(std::string(name));
}

// One of them into `d`, not parsed; false when it cannot be read.
inline bool LoadDrawing(const std::string& name, Drawing& d) {
  if (name.starts_with("synthetic")) return d.dxf.assign(Synthetic(name == "synthetic late"));
  return ReadDxfFile(name, d.dxf) == FileError::None;
}

}  // namespace vestrel::test
