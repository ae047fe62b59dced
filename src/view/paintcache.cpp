#include "view/paintcache.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "view/blocks.h"

namespace vestrel {

namespace {

// More changed entries than this, a region over this share of the area,
// or budgets spent beyond this share, and the whole area is painted.
constexpr std::size_t kMostChanged = 4096;
constexpr double kMostArea = 0.4;
constexpr double kMostSpent = 0.5;
// More boxes than this make one region of their bounding box.
constexpr std::size_t kMostBoxes = 512;

std::vector<std::int32_t> SelectedEntries(const Drawing& d) {
  std::vector<std::int32_t> out;
  for (std::size_t i = 0; i < d.polys.size(); ++i)
    if (d.polys[i].selected) out.push_back(static_cast<std::int32_t>(i));
  return out;
}

}  // namespace

bool PaintCache::paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                       const PrinterPage& page, int screenDpi, InView* inView) {
  if (inView) inView->refresh(d);
  inView_ = inView;
  const Key key{&d,
                canvas.width(),
                canvas.height(),
                screenDpi,
                view.tab,
                view.zoomedvalue,
                view.HorzScrollbarPosition,
                view.VertScrollbarPosition,
                view.Druckvorschau,
                view.Linienbreitezeigen,
                print.mmEd,
                print.UnitsEd,
                print.RandEd,
                print.XOffsetEd,
                print.YOffsetEd,
                page.width,
                page.height,
                page.dpi};
  if (valid_ && key == key_ && part(canvas, d, view, print, page, screenDpi)) {
    partial_ = true;
    return true;
  }
  return whole(canvas, d, view, print, page, screenDpi, key);
}

bool PaintCache::whole(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                       const PrinterPage& page, int screenDpi, const Key& key) {
  valid_ = partial_ = false;
  reach_.assign(d.polys.size(), PixelBox{});
  QPainter g(&canvas);
  const TabPaint tab = PaintBackground(g, canvas.width(), canvas.height(), d, view, print, page, screenDpi);
  PaintPass pass;
  pass.shown = tab.shown;
  pass.inView = inView_;
  pass.reach = &reach_;
  const bool complete = DrawTab(g, d, tab.params, tab.layoutBlock, &pass);
  // A paint that left out what it could not afford is always painted whole.
  if (complete) {
    valid_ = true;
    key_ = key;
    generation_ = d.generation;
    selected_ = SelectedEntries(d);
    spent_ = pass.spent;
  }
  return complete;
}

bool PaintCache::part(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                      const PrinterPage& page, int screenDpi) {
  const std::size_t n = d.polys.size();
  // The entries read again since the picture was painted; none when the
  // drawing was not parsed since.
  std::vector<EntryRange> ranges;
  if (generation_ != d.generation) {
    if (d.reparsed.whole || d.reparsed.before != generation_) return false;
    ranges = d.reparsed.ranges;
  }
  auto size = static_cast<std::int64_t>(reach_.size());
  std::size_t changed = 0;
  for (const EntryRange& r : ranges) {
    size += r.newCount - r.oldCount;
    changed += static_cast<std::size_t>(r.newCount + r.oldCount);
  }
  if (size != static_cast<std::int64_t>(n) || changed > kMostChanged || spent_ >= kMostSpent) return false;

  // Where the changed entries were drawn; then the notes follow the
  // entries into the new list, the changed ones to be measured.
  std::vector<PixelBox> damage;
  std::vector<std::uint8_t> measure(n, 0);
  for (const EntryRange& r : ranges)
    for (std::int32_t i = r.oldFirst; i < r.oldFirst + r.oldCount; ++i)
      if (!reach_[static_cast<std::size_t>(i)].empty()) damage.push_back(reach_[static_cast<std::size_t>(i)]);
  const bool sameCounts =
      std::all_of(ranges.begin(), ranges.end(), [](const EntryRange& r) { return r.newCount == r.oldCount; });
  if (!sameCounts) {
    std::vector<PixelBox> moved;
    moved.reserve(n);
    std::size_t at = 0;
    for (const EntryRange& r : ranges) {
      moved.insert(moved.end(), reach_.begin() + static_cast<std::ptrdiff_t>(at), reach_.begin() + r.oldFirst);
      moved.resize(moved.size() + static_cast<std::size_t>(r.newCount));
      at = static_cast<std::size_t>(r.oldFirst + r.oldCount);
    }
    moved.insert(moved.end(), reach_.begin() + static_cast<std::ptrdiff_t>(at), reach_.end());
    reach_.swap(moved);
  }
  for (const EntryRange& r : ranges)
    for (std::int32_t i = r.newFirst; i < r.newFirst + r.newCount; ++i) measure[static_cast<std::size_t>(i)] = 1;

  // The selection: entries selected before or now, but not both, change
  // their look. Those read again are measured already.
  std::vector<std::int32_t> before;
  for (const std::int32_t s : selected_) {
    std::int64_t shift = 0;
    bool reread = false;
    for (const EntryRange& r : ranges) {
      if (s >= r.oldFirst + r.oldCount) shift += r.newCount - r.oldCount;
      else if (s >= r.oldFirst) reread = true;
    }
    if (!reread) before.push_back(static_cast<std::int32_t>(s + shift));
  }
  std::vector<std::int32_t> now = SelectedEntries(d), flipped;
  std::set_symmetric_difference(before.begin(), before.end(), now.begin(), now.end(), std::back_inserter(flipped));
  changed += flipped.size();
  if (changed > kMostChanged) return false;
  for (const std::int32_t i : flipped) {
    damage.push_back(reach_[static_cast<std::size_t>(i)]);
    measure[static_cast<std::size_t>(i)] = 1;
  }

  // A block's member is drawn by every reference to the block (and to the
  // blocks that refer to it): where a member changed, they change.
  std::vector<std::string_view> blocks;
  for (const EntryRange& r : ranges)
    if (r.block >= 0) blocks.push_back(d.blocks[static_cast<std::size_t>(r.block)].blockname);
  for (const std::int32_t i : flipped)
    if (const tpoly& p = d.polys[static_cast<std::size_t>(i)]; p.isblock) blocks.push_back(d.theblockname(p));
  if (!blocks.empty()) {
    const std::vector<std::size_t> drawers = Blocks(d).drawing(std::move(blocks));
    changed += drawers.size();
    if (changed > kMostChanged) return false;
    for (const std::size_t i : drawers) {
      damage.push_back(reach_[i]);
      measure[i] = 1;
    }
  }

  // Where they are drawn now: drawn where nothing is shown, their pixels
  // noted.
  if (!ranges.empty() || !flipped.empty()) {
    for (std::size_t i = 0; i < n; ++i)
      if (measure[i]) reach_[i] = {};
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter g(&scratch);
    const TabPaint tab = PaintBackground(g, canvas.width(), canvas.height(), d, view, print, page, screenDpi);
    PaintPass pass;
    pass.shown = tab.shown;
    pass.inView = inView_;
    pass.only = &measure;
    pass.throughViewports = true;
    pass.reach = &reach_;
    const bool complete = DrawTab(g, d, tab.params, tab.layoutBlock, &pass);
    spent_ += pass.spent;
    if (!complete || spent_ >= kMostSpent) return false;
    for (std::size_t i = 0; i < n; ++i)
      if (measure[i] && !reach_[i].empty()) damage.push_back(reach_[i]);
  }
  generation_ = d.generation;
  selected_ = std::move(now);

  // The region to redraw.
  const QRect area(0, 0, canvas.width(), canvas.height());
  QRegion region;
  if (damage.size() > kMostBoxes) {
    PixelBox all;
    for (const PixelBox& b : damage) all.add(b);
    damage = {all};
  }
  for (const PixelBox& b : damage) {
    const QRect r = QRect(QPoint(b.x0, b.y0), QPoint(b.x1, b.y1)) & area;
    if (!r.isEmpty()) region += r;
  }
  if (region.isEmpty()) return true;  // the change shows nowhere
  double covered = 0;
  for (const QRect& r : region) covered += static_cast<double>(r.width()) * r.height();
  if (covered > kMostArea * area.width() * area.height()) return false;

  // What is drawn there: every entry whose pixels meet it.
  std::vector<PixelBox> boxes;
  for (const QRect& r : region) boxes.push_back({r.left(), r.top(), r.right(), r.bottom()});
  const QRect b = region.boundingRect();
  const PixelBox bound{b.left(), b.top(), b.right(), b.bottom()};
  std::vector<std::uint8_t> shown(n, 0);
  for (std::size_t i = 0; i < n; ++i)
    if (reach_[i].meets(bound))
      shown[i] = std::any_of(boxes.begin(), boxes.end(), [&](const PixelBox& x) { return reach_[i].meets(x); });

  // They are drawn as a whole paint draws them, on a picture of the same
  // size and without a clip of their own (a clip moves the edges of lines
  // that cross it by a shade), and the region is taken from there.
  if (scratch_.size() != canvas.size() || scratch_.format() != canvas.format())
    scratch_ = QImage(canvas.size(), canvas.format());
  {
    QPainter g(&scratch_);
    const TabPaint tab = PaintBackground(g, canvas.width(), canvas.height(), d, view, print, page, screenDpi);
    PaintPass pass;
    pass.shown = tab.shown;
    pass.inView = inView_;
    pass.only = &shown;
    if (!DrawTab(g, d, tab.params, tab.layoutBlock, &pass)) return false;
  }
  const auto pixel = static_cast<std::size_t>(canvas.depth() / 8);
  for (const QRect& r : region)
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::memcpy(canvas.scanLine(y) + r.left() * pixel, scratch_.constScanLine(y) + r.left() * pixel,
                  static_cast<std::size_t>(r.width()) * pixel);
  return true;
}

}  // namespace vestrel
