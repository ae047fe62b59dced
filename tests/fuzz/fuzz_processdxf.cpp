// libFuzzer target for the reader and the view: any bytes become a line
// list, which is parsed twice on the same drawing (the second parse reuses
// the storage of the first). After each parse the display list must only
// point at lines and points that exist, and every point must be finite; the
// second parse must give as many entries and points as the first. Then the
// model and the first layout are zoomed to their extents and painted into a
// small picture, so that the view's arithmetic meets the same inputs; an
// object is moved, given a colour and another one taken out, as the edits
// do, and the parse after it (which reads again what changed) must give
// what a full parse gives, and the paint after it (which redraws what
// changed) what a whole paint gives. A broken rule ends the run with a
// message and a trap, which libFuzzer reports as a crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "document/drawing.h"
#include "document/journal.h"
#include "platform/nullplatform.h"
#include "support/drawing_state.h"
#include "view/paintcache.h"
#include "view/renderer.h"
#include "view/transform.h"

namespace {

using vestrel::Drawing;
using vestrel::Tmypoi;

// `what` is a printf format for the values that follow.
template <typename... Args>
[[noreturn]] void Broken(const char* what, Args... args) {
  std::fputs("fuzz_processdxf: ", stderr);
  std::fprintf(stderr, what, args...);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  __builtin_trap();
}

// A line number the reader hands out: 0 (none) or a line of the list.
bool LineOrZero(std::int64_t line, std::int64_t n) { return line == 0 || (line > 0 && line < n); }

void CheckPoints(const vestrel::Pool<Tmypoi>& pts, std::int64_t n, const char* pool) {
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const Tmypoi& p = pts[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
      Broken("%s point %zu is not finite: (%g, %g, %g)", pool, i, p.x, p.y, p.z);
    if (!LineOrZero(p.linex, n) || !LineOrZero(p.liney, n) || !LineOrZero(p.linez, n))
      Broken("%s point %zu has value lines %d, %d, %d of %lld lines", pool, i, p.linex, p.liney, p.linez,
             static_cast<long long>(n));
  }
}

// A position where the writers insert lines: -1 (none) or a line of the list.
void CheckPosition(const char* name, std::int32_t line, std::int64_t n) {
  if (line < -1 || line >= n) Broken("%s is %d of %lld lines", name, line, static_cast<long long>(n));
}

void Check(const Drawing& d) {
  const auto n = static_cast<std::int64_t>(d.dxf.size());
  const auto npoints = static_cast<std::uint64_t>(d.points.size());
  const auto nsnaps = static_cast<std::uint64_t>(d.snaps.size());
  const auto nblocks = static_cast<std::int64_t>(d.blocks.size());

  for (std::size_t i = 0; i < d.polys.size(); ++i) {
    const vestrel::tpoly& p = d.polys[i];
    if (p.linefrom < 0 || p.linefrom > p.linebis || p.linebis >= n)
      Broken("entry %zu spans lines %d..%d of %lld", i, p.linefrom, p.linebis, static_cast<long long>(n));
    if (p.anzp < p.outline || std::uint64_t{p.psfrom} + p.stored() > npoints)
      Broken("entry %zu has points %u + %d of %llu", i, p.psfrom, p.anzp, static_cast<unsigned long long>(npoints));
    if (p.kind == vestrel::Kind::ELLIPSE &&
        (p.extrakind != vestrel::ExtraKind::Ellipse || p.extra < 0 || std::size_t(p.extra) >= d.ellipses.size()))
      Broken("ellipse %zu has record %d of %zu", i, p.extra, d.ellipses.size());
    if (p.anzs < 0 || std::uint64_t{p.snapfrom} + static_cast<std::uint64_t>(p.anzs) > nsnaps)
      Broken("entry %zu has snap points %u + %d of %llu", i, p.snapfrom, p.anzs,
             static_cast<unsigned long long>(nsnaps));
    // The names the window reads through these line numbers.
    if ((p.layerpresent && !LineOrZero(p.layerlinenr, n)) || (p.ltnamepresent && !LineOrZero(p.ltnamelinenr, n)) ||
        (p.insertstrpresent && !LineOrZero(p.insertstrlinenr, n)))
      Broken("entry %zu has name lines %d, %d, %d of %lld", i, p.layerlinenr, p.ltnamelinenr, p.insertstrlinenr,
             static_cast<long long>(n));
    if (p.block < -1 || p.block >= nblocks)
      Broken("entry %zu is in block %d of %lld", i, p.block, static_cast<long long>(nblocks));
  }
  CheckPoints(d.points, n, "display-list");
  CheckPoints(d.snaps, n, "snap");

  CheckPosition("insertlinepos", d.insertlinepos, n);
  CheckPosition("layerinsertlinenr", d.layerinsertlinenr, n);
  CheckPosition("ltypeinsetlinenr", d.ltypeinsetlinenr, n);
  CheckPosition("handleseedpos", d.handleseedpos, n);
  CheckPosition("acadverpos", d.acadverpos, n);
  for (std::size_t i = 0; i < d.blocks.size(); ++i)
    if (!LineOrZero(d.blocks[i].linetoinsert, n))
      Broken("block %zu ends at line %d of %lld", i, d.blocks[i].linetoinsert, static_cast<long long>(n));
  if (d.anzlayer < 0 || static_cast<std::size_t>(d.anzlayer) > d.layers.size())
    Broken("anzlayer %d with %zu layer slots", d.anzlayer, d.layers.size());
  if (d.anzlt < 0 || static_cast<std::size_t>(d.anzlt) > d.linetype.size())
    Broken("anzlt %d with %zu line-type slots", d.anzlt, d.linetype.size());
}

// Entry `k` moved and given a colour, and the last entry taken out, in two
// undo steps.
void Edit(Drawing& d, std::size_t k) {
  vestrel::Journal j;
  const vestrel::tpoly p = d.polys[k], last = d.polys.back();
  {
    vestrel::ChangeStep step(j, d.dxf);
    for (std::int32_t line = p.linefrom + 2; line < p.linebis; line += 2) {
      const std::string_view group = vestrel::Trim(d.dxf[static_cast<std::size_t>(line)]);
      if (group == "10" || group == "20") step.overwrite(line + 1, "12.5");
    }
    step.insert(p.linefrom + 2, {" 62", "3"});
  }
  if (last.linefrom > p.linefrom) vestrel::ChangeStep(j, d.dxf).erase(last.linefrom + 2, last.linebis - last.linefrom + 1);
}

// The model and the first layout at their extents, painted small; then
// painted again after an edit, redrawn where it shows and whole.
void Paint(Drawing& d, std::size_t edited) {
  vestrel::NullPlatform platform({64, 48});
  vestrel::ViewState view;
  const vestrel::PrintSetup print;
  vestrel::ViewContext c{d, view, print, platform};
  QImage canvas(64, 48, QImage::Format_RGB32), whole(64, 48, QImage::Format_RGB32);
  vestrel::PaintCache cache;
  for (int tab = 0; tab < 2; ++tab) {
    view.tab = tab;
    vestrel::ZoomFullIn(c);
    cache.paint(canvas, d, view, print, platform.PrinterPageSize(), 96);
  }
  if (d.polys.size() == 0) return;
  Edit(d, edited % d.polys.size());
  Drawing full = d;  // a copy is another list: read whole, its splines flattened ahead
  vestrel::processdxf(full, 0);
  vestrel::processdxf(d);
  Check(d);
  if (const std::string diff = vestrel::test::DrawingDifference(d, full); !diff.empty())
    Broken("the parse after an edit differs from a full parse in %s", diff.c_str());
  cache.paint(canvas, d, view, print, platform.PrinterPageSize(), 96);
  vestrel::PaintBox1Paint(whole, d, view, print, platform.PrinterPageSize(), 96);
  if (canvas != whole) Broken("%s", "the paint after an edit differs from a whole paint");
}

}  // namespace

// Painting measures texts: the fonts need an application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Drawing d;
  if (!d.dxf.assign(std::string(reinterpret_cast<const char*>(data), size))) return 0;

  vestrel::processdxf(d);
  Check(d);
  const std::size_t polys = d.polys.size(), points = d.points.size(), snaps = d.snaps.size();

  // The same text again, on the storage of the first parse.
  d.parserecord = {};  // as after a failed parse: the next reads all
  vestrel::processdxf(d);
  Check(d);
  if (d.polys.size() != polys || d.points.size() != points || d.snaps.size() != snaps)
    Broken("the second parse gives entries/points/snaps %zu/%zu/%zu, the first %zu/%zu/%zu", d.polys.size(),
           d.points.size(), d.snaps.size(), polys, points, snaps);
  Paint(d, size);
  return 0;
}
