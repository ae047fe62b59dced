#include "view/renderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QString>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "document/workers.h"
#include "geometry/point.h"
#include "view/arrowhead.h"
#include "view/blocks.h"
#include "view/colors.h"
#include "view/fonttable.h"
#include "view/hatchpaint.h"
#include "view/outlinepath.h"
#include "view/textlayout.h"
#include "view/texts.h"
#include "view/thinlines.h"

namespace vestrel {

namespace {


QColor Color(Argb c) { return QColor::fromRgba(c); }

QFont ArialPixels(int pixels) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(std::max(1, pixels));
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// Texts are drawn in the font whose metrics the layout measures with
// (fonttable.h): kerning and hinting would move letters from where it
// puts them.
constexpr double kCapPerEm = static_cast<double>(fonttable::kCapHeight) / fonttable::kUnitsPerEm;
// Capital letters lower than this many pixels are drawn as a stroke;
// higher than the largest font size, as the outlines of that size scaled.
constexpr double kLegible = 2;
constexpr int kMostFontPixels = 256;
// Letters higher than this many pixels are not drawn: the screen would
// show a sliver of one stroke, and the outlines would not fit the rasterizer.
constexpr double kMostCapPixels = 1e7;

QFont TextFont(int pixels) {
  QFont f = ArialPixels(pixels);
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// What block references may draw in one paint; a drawing whose blocks refer
// to each other many times over could otherwise take without end.
constexpr std::size_t kBudget = 2000000;
// A paint of the screen that would leave references out for the budget
// cannot show all there is anyway, and every edit paints again: it draws
// through references no more than this, for no longer than this.
constexpr std::size_t kScreenBudget = 100000;
constexpr std::chrono::milliseconds kScreenTime(250);
constexpr std::size_t kNoOwner = SIZE_MAX;
// From this many selected entries on, the grips that later grips cover are
// looked for first.
constexpr std::size_t kManySelected = 64;

// The hints a paint on pixel centres draws with (PixelCentres).
constexpr QPainter::RenderHints kCentredHints = QPainter::Antialiasing | QPainter::TextAntialiasing;

// The pixels a grip may touch: those within `reach` of its centre; those it
// leaves as it sets them whatever lay there: those within `opaque`, and
// with `edges` those one farther but the four corners. Unless a stamp
// (below) proves more: its square and one more pixel all round, against
// rounding, and the square's inside.
struct GripShape {
  int reach = 6, opaque = 4;
  bool edges = false;
};

// A grip as QPainter draws it on pixel centres of an RGB32 picture, to be
// set straight into the picture's pixels: what each pixel of its square
// and of the row of pixels around it becomes, channel by channel, of each
// value it had (QPainter blends the channels each on its own). Found by
// letting QPainter draw it on every grey, and proven on a picture of
// random colours; where the proof fails, QPainter draws the grips.
class GripStamp {
 public:
  static constexpr int kReach = 6;  // pixels from the centre it may touch
  static constexpr int kSide = 2 * kReach + 1;

  // The stamp of the grip outlined in `pen` (black or white).
  static const GripStamp& Of(Argb pen) {
    static const GripStamp black(kBlack), white(kWhite);
    return pen == kWhite ? white : black;
  }
  bool usable() const { return usable_; }
  // The pixels it touches and those it sets whatever lay there.
  GripShape shape() const { return shape_; }

  // The grip centred on pixel (cx, cy) of a picture of width x height
  // pixels, its rows `perLine` pixels apart.
  void draw(std::uint32_t* pixels, qsizetype perLine, int width, int height, int cx, int cy) const {
    for (const Span& s : spans_) {
      const std::int64_t y = std::int64_t{cy} + s.dy;
      const std::int64_t x0 = std::max<std::int64_t>(std::int64_t{cx} + s.dx0, 0);
      const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{cx} + s.dx1, width - 1);
      if (y < 0 || y >= height || x0 > x1) continue;
      std::uint32_t* line = pixels + y * perLine;
      if (s.kind == Cell::Set) {
        std::fill(line + x0, line + x1 + 1, s.value);
        continue;
      }
      const std::uint8_t* t = tables_.data() + s.table;
      for (auto x = x0; x <= x1; ++x) {
        std::uint32_t& px = line[x];
        px = 0xFF000000u | std::uint32_t{t[(px >> 16) & 0xFF]} << 16 | std::uint32_t{t[256 + ((px >> 8) & 0xFF)]} << 8 |
             t[512 + (px & 0xFF)];
      }
    }
  }

  // The grip as drawRect draws it, on a painter set up as for a paint.
  static void Paint(QPainter& g, double gx, double gy, const QPen& pen) {
    g.fillRect(QRectF(gx - 5, gy - 5, 10, 10), QColor(0, 0, 255));
    g.setPen(pen);
    g.drawRect(QRectF(gx - 5, gy - 5, 10, 10));
  }

 private:
  struct Cell {
    enum Kind : std::uint8_t { Kept, Set, Blended } kind = Kept;
    std::uint32_t value = 0;  // Set
    std::size_t table = 0;    // Blended: three tables of 256 in tables_
  };
  // The cells in runs along the rows: of one value set, or one blended.
  struct Span {
    int dy, dx0, dx1;
    Cell::Kind kind;
    std::uint32_t value;
    std::size_t table;
  };

  explicit GripStamp(Argb penColor) {
    const QPen pen(QColor::fromRgba(penColor), 1);
    auto painted = [&](QImage& picture, const std::vector<QPoint>& centres) {
      QPainter g(&picture);
      g.setRenderHints(kCentredHints);
      g.translate(0.5, 0.5);
      for (const QPoint c : centres) Paint(g, c.x(), c.y(), pen);
    };
    // Every grey, one grip on each.
    QImage greys(256 * kSide, kSide, QImage::Format_RGB32);
    std::vector<QPoint> centres;
    for (int v = 0; v < 256; ++v) {
      for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) greys.setPixel(v * kSide + x, y, qRgb(v, v, v));
      centres.emplace_back(v * kSide + kReach, kReach);
    }
    painted(greys, centres);
    cells_.resize(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        std::uint8_t t[768];
        for (int v = 0; v < 256; ++v) {
          const QRgb c = greys.pixel(v * kSide + x, y);
          t[v] = static_cast<std::uint8_t>(qRed(c)), t[256 + v] = static_cast<std::uint8_t>(qGreen(c)),
          t[512 + v] = static_cast<std::uint8_t>(qBlue(c));
        }
        Cell& cell = cells_[static_cast<std::size_t>(y * kSide + x)];
        bool kept = true, set = true;
        for (int v = 0; v < 256; ++v)
          for (int k = 0; k < 3; ++k) kept = kept && t[256 * k + v] == v, set = set && t[256 * k + v] == t[256 * k];
        if (kept) continue;
        if (set) {
          cell.kind = Cell::Set;
          cell.value = qRgb(t[0], t[256], t[512]);
          continue;
        }
        cell.kind = Cell::Blended;
        cell.table = tables_.size();
        tables_.insert(tables_.end(), std::begin(t), std::end(t));
      }
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const Cell& c = cells_[static_cast<std::size_t>(y * kSide + x)];
        if (c.kind == Cell::Kept) continue;
        Span* last = spans_.empty() ? nullptr : &spans_.back();
        if (c.kind == Cell::Set && last && last->kind == Cell::Set && last->dy == y - kReach &&
            last->dx1 == x - kReach - 1 && last->value == c.value)
          last->dx1 = x - kReach;
        else
          spans_.push_back({y - kReach, x - kReach, x - kReach, c.kind, c.value, c.table});
      }
    // The proof: grips on random colours, overlapping and cut by the edges.
    QImage drawn(64, 48, QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) drawn.setPixel(x, y, 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8));
    QImage stamped = drawn.copy();
    const std::vector<QPoint> proof = {{3, 3}, {20, 10}, {24, 13}, {62, 46}, {40, -4}, {-5, 30}, {33, 24}, {37, 24}};
    painted(drawn, proof);
    for (const QPoint c : proof)
      draw(reinterpret_cast<std::uint32_t*>(stamped.bits()), stamped.bytesPerLine() / 4, stamped.width(),
           stamped.height(), c.x(), c.y());
    usable_ = drawn == stamped;
    // Its shape, from the pixels it touched and those it set.
    auto cell = [&](int dx, int dy) { return cells_[static_cast<std::size_t>((dy + kReach) * kSide + dx + kReach)].kind; };
    auto ring = [&](int r, bool corners, auto test) {
      for (int d = -r; d <= r; ++d)
        for (const auto& [dx, dy] : {std::pair{d, -r}, std::pair{d, r}, std::pair{-r, d}, std::pair{r, d}})
          if ((corners || std::abs(d) != r) && !test(cell(dx, dy))) return false;
      return true;
    };
    shape_.reach = kReach;
    while (shape_.reach > 0 && ring(shape_.reach, true, [](Cell::Kind k) { return k == Cell::Kept; })) --shape_.reach;
    shape_.opaque = -1;
    while (shape_.opaque < kReach && ring(shape_.opaque + 1, true, [](Cell::Kind k) { return k == Cell::Set; }))
      ++shape_.opaque;
    shape_.edges = shape_.opaque < kReach && ring(shape_.opaque + 1, false, [](Cell::Kind k) { return k == Cell::Set; });
  }

  std::vector<Cell> cells_;
  std::vector<Span> spans_;
  std::vector<std::uint8_t> tables_;
  bool usable_ = false;
  GripShape shape_;
};

// What a paint of a large selection draws, in its order, as far as later
// grips may cover it: a grip, centred on a pixel, or the outline of a
// selected entry, which may touch the pixels of a box and leaves none
// opaque.
struct Pieces {
  std::vector<PixelBox> boxes;  // a grip's centre, or the box an outline may touch
  std::vector<bool> grip;
  void addGrip(int cx, int cy) {
    boxes.push_back({cx, cy, cx, cy});
    grip.push_back(true);
  }
  void addOutline(const PixelBox& b) {
    boxes.push_back(b);
    grip.push_back(false);
  }
};

// What a paint of a large selection leaves out: which of its plain pieces
// later grips cover, and where the pieces of each entry are among them,
// so that a painter drawing only some of the entries (a band) leaves out
// what the whole paint leaves out.
struct GripCover {
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Entry {
    std::uint32_t gripsFrom = kNone;  // its first grip's piece; its outline's is the one before
    std::uint32_t grips = 0;
    bool outline = false;
    bool gripsCovered = false;  // every one of its grips
    PixelBox outlineTouched;    // what touch() notes of its outline
    PixelBox gripsTouched;      // and what drawing its grips notes
  };
  std::vector<bool> covered;
  std::vector<Entry> entries;  // by index into the display list
  bool twice = false;          // an entry drew pieces twice: nothing is left out
  const Entry* of(std::size_t i) const {
    return i < entries.size() && entries[i].gripsFrom != kNone ? &entries[i] : nullptr;
  }
};

// A picture with fewer rows than this is painted on one thread.
constexpr int kFewestRows = 64;

// The pieces of a paint in the order drawn, as stretches of those that the
// painters collecting them gathered.
struct PieceStretch {
  const Pieces* pieces;
  std::size_t from, to;  // of pieces->boxes
};

// Which of the `count` pieces of `order` (on a target of width x height
// pixels) the grips drawn after them cover wholly: those show nowhere, nor
// do those off the target. The rows do not depend on each other: they are
// gone through in stripes on the machine's cores, and a piece is covered
// where it is covered in every stripe.
std::vector<bool> CoveredPieces(const std::vector<PieceStretch>& order, std::size_t count, const GripShape& shape,
                                int width, int height) {
  std::vector<bool> covered(count, true);
  if (width <= 0 || height <= 0) return covered;
  const int stripes = std::clamp(height / kFewestRows, 1, WorkerCount());
  std::vector<std::vector<bool>> more(static_cast<std::size_t>(stripes - 1));
  const auto words = static_cast<std::size_t>(width + 63) / 64;
  RunTasks(stripes, [&](int stripe) {
    std::vector<bool>& out = stripe == 0 ? covered : more[static_cast<std::size_t>(stripe - 1)];
    if (stripe > 0) out.assign(count, true);
    const std::int64_t top = std::int64_t{height} * stripe / stripes,
                       bottom = std::int64_t{height} * (stripe + 1) / stripes - 1;
    std::vector<std::uint64_t> settled(words * static_cast<std::size_t>(bottom - top + 1), 0);
    // Settles (or tells whether all are settled) the pixels of a box that
    // lie on the stripe.
    auto box = [&](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool settle) {
      x0 = std::max<std::int64_t>(x0, 0), y0 = std::max(y0, top);
      x1 = std::min<std::int64_t>(x1, width - 1), y1 = std::min(y1, bottom);
      if (x0 > x1 || y0 > y1) return true;
      // The words of a row it spans, and the bits of its first and last.
      const auto w0 = static_cast<std::size_t>(x0 / 64), w1 = static_cast<std::size_t>(x1 / 64);
      const std::uint64_t first = ~std::uint64_t{0} << (x0 % 64);
      const std::uint64_t last = x1 % 64 == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (x1 % 64 + 1)) - 1;
      for (auto y = y0; y <= y1; ++y) {
        std::uint64_t* bits = settled.data() + static_cast<std::size_t>(y - top) * words;
        for (std::size_t w = w0; w <= w1; ++w) {
          const std::uint64_t mask = (w == w0 ? first : ~std::uint64_t{0}) & (w == w1 ? last : ~std::uint64_t{0});
          if (settle)
            bits[w] |= mask;
          else if ((bits[w] & mask) != mask)
            return false;
        }
      }
      return true;
    };
    std::size_t k = count;
    for (auto stretch = order.rbegin(); stretch != order.rend(); ++stretch)
      for (std::size_t j = stretch->to; j-- > stretch->from;) {
        const PixelBox& b = stretch->pieces->boxes[j];
        --k;
        if (!stretch->pieces->grip[j]) {
          out[k] = box(b.x0, b.y0, b.x1, b.y1, false);
          continue;
        }
        // A grip covered on the stripe would settle nothing new there: its
        // opaque part lies within its reach.
        const std::int64_t cx = b.x0, cy = b.y0, r = shape.reach, o = shape.opaque;
        out[k] = box(cx - r, cy - r, cx + r, cy + r, false);
        if (out[k]) continue;
        box(cx - o, cy - o, cx + o, cy + o, true);
        if (shape.edges) {
          box(cx - o, cy - o - 1, cx + o, cy - o - 1, true), box(cx - o, cy + o + 1, cx + o, cy + o + 1, true);
          box(cx - o - 1, cy - o, cx - o - 1, cy + o, true), box(cx + o + 1, cy - o, cx + o + 1, cy + o, true);
        }
      }
  });
  for (const std::vector<bool>& m : more)
    for (std::size_t k = 0; k < count; ++k) covered[k] = covered[k] && m[k];
  return covered;
}

// Room for pens, arrows and texts at the edges of a block's box: a block
// reference whose box lies farther off what is shown draws nothing.
constexpr double kBlockMargin = 64;

// Nested block references deeper than this are not drawn.
constexpr int kMaxDepth = 128;

class Painter {
 public:
  Painter(QPainter& g, Drawing& d, PaintPass* pass = nullptr)
      : g_(g),
        d_(d),
        tables_(d),
        blocks_(d, pass && pass->inView ? pass->inView->blockMembers() : nullptr),
        pass_(pass),
        inView_(pass ? pass->inView : nullptr),
        lockedLayers_(std::any_of(d.layers.begin(), d.layers.begin() + d.anzlayer,
                                  [](const TLayer& l) { return (l.flag & 4) != 0; })) {}

  void draw(const DrawParams& P, int depth);
  // Draws a tab: its entries, then the members of its layout's block.
  void drawTab(const DrawParams& P, const tblock* layoutBlock);
  // Whether drawing the tab would leave references out for the budget:
  // it is gone through as drawn, without drawing, up to the budget.
  bool reachesBudget(const DrawParams& P, const tblock* layoutBlock);
  // From now on, the screen's budget and time.
  void hurry() {
    budget_ = kScreenBudget;
    deadline_ = std::chrono::steady_clock::now() + kScreenTime;
  }
  // Finds, before the tab is drawn, the grips and the outlines of selected
  // entries that grips drawn after them will cover wholly: those are left
  // out. Notes in the pass how many. (Where an entry draws its grips
  // twice, none are left out.)
  void coverGrips(const DrawParams& P, const tblock* layoutBlock);
  // What it found, for the painters of the bands.
  const GripCover& cover() const { return *cover_; }
  void shareCover(const GripCover& cover) { cover_ = &cover; }
  bool hurried() const { return deadline_.has_value(); }
  // Whether block references were left out because the paint reached its
  // budget.
  bool incomplete() const { return incomplete_; }
  // How much of its budgets the paint has spent: 1 all.
  double spent() const { return std::max(static_cast<double>(expanded_) / budget_, hatches_.spent()); }
  // What the pattern lines of hatches have cost, and what reachesBudget()
  // found references to draw: 1 all.
  double hatchesSpent() const { return hatches_.spent(); }
  double countedSpent() const { return static_cast<double>(counted_) / budget_; }
  // How many selected entries reachesBudget() went by (some of them
  // more than once): only those can draw grips.
  std::size_t selectedSeen() const { return selectedSeen_; }
  // Draws only what may reach the rows from `top` to `bottom` (painter
  // coordinates), without clipping it there; another painter notes
  // whether entries are locked.
  // Letters come from the font engine of the thread that draws them, and
  // not every thread's engine draws them alike pixel for pixel. A band
  // drawn on the thread that asked for the paint draws them (`letters`);
  // one drawn on another stops at the first it meets, or, `beforeLetters`,
  // before the first of the tab's entries that may show any: the thread
  // that asked draws the rest with resume().
  void band(double top, double bottom, bool noteLocked, bool letters, bool beforeLetters) {
    bandTop_ = top, bandBottom_ = bottom;
    noteLocked_ = noteLocked;
    lettersBarred_ = !letters;
    stopBeforeLetters_ = !letters && beforeLetters;
  }
  // Whether it stopped before an entry that may show letters.
  bool stoppedBeforeLetters() const { return stopped_; }
  // Draws the tab on from where it stopped, letters and all.
  void resume(const DrawParams& P, const tblock* layoutBlock) {
    resumeFrom_ = position_ - 1;
    position_ = 0;
    stopped_ = stopBeforeLetters_ = lettersBarred_ = false;
    drawTab(P, layoutBlock);
  }
  // Whether it stopped at letters.
  bool metLetters() const { return lettersMet_; }

 private:
  // An entry not `shown` (out of view) is only told whether its layer
  // is locked.
  void drawEntry(std::size_t i, const DrawParams& P, int depth, bool shown = true);
  // The entries of the scope's list that may draw into what this paint
  // shows; false when all are to be visited.
  bool entriesInView(const DrawParams& P, int depth, std::vector<std::int32_t>& out);
  bool offScreen(const tpoly& p, const ScreenTransform& t, double margin) const;
  void drawText(const tpoly& p, const DrawParams& P, const ScreenTransform& t, Argb color, const QPen& pen);
  void drawGeometry(const tpoly& p, const DrawParams& P, const ScreenTransform& t, Argb color, QPen pen);
  void drawViewport(const tpoly& p, const DrawParams& P, const ScreenTransform& t, int depth);
  void drawGrips(const tpoly& p, const DrawParams& P, const ScreenTransform& t);
  // An INSERT's block, or the block that draws a dimension.
  void drawReference(const tpoly& p, std::string_view name, const ByBlock& look, const DrawParams& P,
                     const ScreenTransform& t, int depth);
  // Whether a block drawn through `t` shows nothing: it lies off the clip
  // or within a pixel.
  bool invisible(const Box3& box, const ScreenTransform& t) const;
  // The pixels of `r` (painter coordinates) widened by `margin` may have
  // been touched by the entry being drawn: noted for it, when the pass
  // notes them.
  void touch(QRectF r, double margin) {
    if (owner_ == kNoOwner) return;
    if (const auto part = seenPart(r, margin)) (*pass_->reach)[owner_].add(pixelsOf(*part));
  }
  // What touch() notes of `r` and `margin`: the part that may show, in
  // painter coordinates (none when none does), and its pixels.
  std::optional<QRectF> seenPart(QRectF r, double margin) const;
  PixelBox pixelsOf(const QRectF& r) const;
  // The entries visited next lie far apart in memory, and so do their
  // points: the entry `entry` places ahead is asked for early, and the
  // points of the one `line` places ahead (whose record has arrived by
  // then). kNoOwner: none.
  static constexpr std::size_t kAheadEntry = 4, kAheadLine = 2;
  void ahead(std::size_t entry, std::size_t line) const {
    if (entry != kNoOwner) {
      const char* e = reinterpret_cast<const char*>(&d_.polys[entry]);
      __builtin_prefetch(e);
      __builtin_prefetch(e + 64);
      __builtin_prefetch(e + sizeof(tpoly) - 1);
    }
    if (line != kNoOwner) {
      const tpoly& p = d_.polys[line];
      // Its first points, as far as they are there.
      const std::size_t first = std::min<std::size_t>(p.psfrom, d_.points.size());
      const std::size_t count = std::min({d_.points.size() - first, p.stored(), std::size_t{8}});
      const char* points = reinterpret_cast<const char*>(d_.points.data() + first);
      for (std::size_t b = 0; b < count * sizeof(Tmypoi); b += 64) __builtin_prefetch(points + b);
    }
  }
  // Whether references are to be left out from here on.
  bool spentUp() const {
    return expanded_ >= budget_ || (deadline_ && std::chrono::steady_clock::now() >= *deadline_);
  }

  // The points of `p`, kept for the next ask: a selected arc's outline is
  // made once for its covering, its outline and its grips.
  const EntryPoints& points(const tpoly& p) const {
    if (pointsOf_ != &p) pointsOf_ = nullptr, points_.emplace(d_.stored(p), p, d_.ellipse(p)), pointsOf_ = &p;
    return *points_;
  }

  QPainter& g_;
  Drawing& d_;
  mutable const tpoly* pointsOf_ = nullptr;
  mutable std::optional<EntryPoints> points_;
  StyleTables tables_;
  Blocks blocks_;
  // What block references have drawn so far; past the budget no more
  // reference is expanded.
  std::size_t expanded_ = 0;
  std::size_t counted_ = 0;  // by reachesBudget()
  std::size_t selectedSeen_ = 0;
  std::size_t budget_ = kBudget;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  std::size_t viewports_ = 0;  // viewports that have shown the model
  bool incomplete_ = false;
  bool budgetReached_ = false;  // references were left out for the budget
  // Going through without drawing: only what references and viewports
  // would draw is counted.
  bool counting_ = false;
  // Going through without drawing: the grips and outlines that would be
  // drawn plainly (on pixel centres, without a clip) are collected in their
  // order.
  bool collecting_ = false;
  // What a painter collecting in parts takes: of the selected entries it
  // visits, the runs of kCollectRun whose number modulo parts_ is part_.
  // It notes, at the start of each run it takes, how many pieces and
  // entries it had collected.
  static constexpr std::size_t kCollectRun = 512;
  int part_ = 0, parts_ = 1;
  std::size_t visits_ = 0;
  struct Collected {
    Pieces pieces;
    std::vector<std::pair<std::size_t, GripCover::Entry>> entries;  // by index, their pieces counted here
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    PixelBox gripsTouched;  // by the last entry's grips
  } collected_;
  GripCover ownCover_;
  const GripCover* cover_ = &ownCover_;
  // The plain piece drawn next.
  std::size_t plainPieces_ = 0;
  // Whether grips and outlines drawn now land where CoveredPieces takes
  // them to be: on pixel centres, without a clip.
  bool plain(const DrawParams& P) const {
    return !P.byblock && g_.transform() == QTransform::fromTranslate(0.5, 0.5) && !g_.hasClipping();
  }
  // Whether the next plain piece is left out; counts it.
  bool nextCovered() { return plainPieces_ < cover_->covered.size() && cover_->covered[plainPieces_++]; }
  // The box of the drawn points of a selected entry that draws nothing but
  // its outline, and the margin of its pen around them, in painter
  // coordinates, as drawGeometry notes them: grips drawn after it may cover
  // it wholly. None for any other entry.
  struct Outline {
    QRectF box;
    double margin = 0;
  };
  std::optional<Outline> plainOutline(const tpoly& p, const DrawParams& P, const ScreenTransform& t, double width) const;
  // What the target shows, in painter coordinates: entries are left out
  // against it.
  QRectF clip_;
  // The rows this painter draws for, in painter coordinates: all unless it
  // paints a band.
  double bandTop_ = -std::numeric_limits<double>::infinity(), bandBottom_ = std::numeric_limits<double>::infinity();
  bool noteLocked_ = true;
  // Letters come from the font engine of the thread that draws them, and
  // not every thread's engine draws them alike pixel for pixel: a band
  // drawn on another thread stops at the first.
  bool lettersBarred_ = false, lettersMet_ = false;
  // The tab's own entries are counted as they come (those out of view
  // too, where all are gone through); a band that stops before letters
  // stops at one, and is resumed from it.
  bool stopBeforeLetters_ = false, stopped_ = false;
  std::size_t position_ = 0, resumeFrom_ = 0;
  bool takes(std::size_t i, bool shown) {
    if (stopped_ || position_++ < resumeFrom_) return false;
    stopped_ = stopBeforeLetters_ && shown && mayShowLetters(d_.polys[i]);
    return !stopped_;
  }
  // Texts, dimensions, multileaders, viewports and references to blocks
  // with any of them may show letters.
  std::unordered_map<std::string_view, bool> blockLetters_;
  bool mayShowLetters(const tpoly& p, int depth = 0) {
    if (p.istext() || p.ismleader() || p.isviewport() || p.extrakind == ExtraKind::Dimension) return true;
    const std::string_view name = blocks_.referenced(p);
    if (name.empty()) return false;
    // A block met again within itself, or deeper than references are
    // drawn, counts as showing them.
    if (depth >= kMaxDepth) return true;
    if (const auto it = blockLetters_.find(name); it != blockLetters_.end()) return it->second;
    blockLetters_.emplace(name, true);
    const std::vector<std::size_t>& members = blocks_.members(name);
    const bool letters = std::any_of(members.begin(), members.end(),
                                     [&](std::size_t m) { return mayShowLetters(d_.polys[m], depth + 1); });
    blockLetters_[name] = letters;
    return letters;
  }
  bool stopAtLetters() {
    lettersMet_ = lettersMet_ || lettersBarred_;
    return lettersBarred_;
  }
  PaintPass* pass_;
  const InView* inView_;
  // The last question put to inView_ (the parts asked for, the margins)
  // and its answer.
  std::optional<std::array<double, 10>> lastQuery_;
  std::vector<std::int32_t> lastInView_;
  const bool lockedLayers_;  // a layer of the drawing is locked
  // The entry of the scope being drawn whose pixels are noted, and how
  // painter coordinates become pixels.
  std::size_t owner_ = kNoOwner;
  QTransform toDevice_;
  Dashes dashes_;
  // The pen of the last entry, kept while the next ones draw alike: the
  // paint engine sets a pen up again only when it is another.
  QPen pen_;
  Argb penColor_ = 0;
  double penWidth_ = -1;
  Dashes penDashes_;
  const QPen& entryPen(Argb color, double width) {
    if (color != penColor_ || width != penWidth_ || dashes_.pattern != penDashes_.pattern ||
        dashes_.offset != penDashes_.offset) {
      pen_ = QPen(Color(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      if (!dashes_.pattern.empty()) {
        pen_.setDashPattern(QList<qreal>(dashes_.pattern.begin(), dashes_.pattern.end()));
        pen_.setDashOffset(dashes_.offset);
      }
      penColor_ = color, penWidth_ = width, penDashes_ = dashes_;
    }
    return pen_;
  }
  // The pens grips are outlined with: white, and black on a white ground.
  const QPen gripPens_[2] = {QPen(Color(kWhite), 1), QPen(Color(kBlack), 1)};
  // The outline being drawn; its storage serves every entry.
  OutlinePath outline_;
  HatchPainter hatches_;
  std::vector<std::string_view> blockStack_;  // the blocks being drawn, against endless recursion
  TextLayout layout_;  // of the text being drawn; its storage serves them all
  std::unordered_map<int, QFont> fonts_;  // by pixel size
  const QFont& textFont(int pixels) {
    const auto [it, fresh] = fonts_.try_emplace(pixels);
    if (fresh) it->second = TextFont(pixels);
    return it->second;
  }
};

// The widest of an entry's own widths (drawing units): its constant one
// and those its vertices set.
double WidestOwnWidth(std::span<const Tmypoi> points, double constant) {
  double widest = std::max(constant, 0.0);
  for (const Tmypoi& q : points)
    if (q.setwid) widest = std::max({widest, static_cast<double>(q.wid), static_cast<double>(q.startwid)});
  return widest;
}

// Whether nothing of the entry can reach the target's clip (and the rows
// of the band painted).
bool Painter::offScreen(const tpoly& p, const ScreenTransform& t, double margin) const {
  const QRectF& clip = clip_;
  Point2 low = t.toScreen(p.boxminx, p.boxminy), high = t.toScreen(p.boxmaxx, p.boxmaxy);
  if (t.turned()) {
    // A turned box: all its corners count. The box has no depth, so one
    // that a tilted extrusion turns is never taken for off the screen.
    if (!t.level()) return false;
    for (const Point2 c : {t.toScreen(p.boxminx, p.boxmaxy), t.toScreen(p.boxmaxx, p.boxminy)}) {
      low = {std::min({low.x, high.x, c.x}), std::max({low.y, high.y, c.y})};
      high = {std::max({low.x, high.x, c.x}), std::min({low.y, high.y, c.y})};
    }
  }
  // A band's picture keeps only its own rows.
  return high.x < clip.left() - margin || low.x > clip.right() + margin ||
         low.y < std::max(clip.top(), bandTop_) - margin || high.y > std::min(clip.bottom(), bandBottom_) + margin;
}

bool Painter::invisible(const Box3& box, const ScreenTransform& t) const {
  if (box.empty) return true;
  double left = 0, right = 0, top = 0, bottom = 0;
  for (int k = 0; k < 8; ++k) {
    const Point2 s = t.toScreen(k & 1 ? box.maxx : box.minx, k & 2 ? box.maxy : box.miny, k & 4 ? box.maxz : box.minz);
    if (k == 0) left = right = s.x, top = bottom = s.y;
    left = std::min(left, s.x), right = std::max(right, s.x);
    top = std::min(top, s.y), bottom = std::max(bottom, s.y);
  }
  if (right < clip_.left() - kBlockMargin || left > clip_.right() + kBlockMargin || bottom < clip_.top() - kBlockMargin ||
      top > clip_.bottom() + kBlockMargin)
    return true;
  return right - left < 1 && bottom - top < 1;
}

std::optional<QRectF> Painter::seenPart(QRectF r, double margin) const {
  const QRectF seen = clip_.adjusted(-2, -2, 2, 2);
  if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || !std::isfinite(r.right()) || !std::isfinite(r.bottom()) ||
      !std::isfinite(margin))
    return seen;  // somewhere on the target
  r = r.normalized().adjusted(-margin - 2, -margin - 2, margin + 2, margin + 2);
  if (!r.intersects(seen)) return std::nullopt;
  return r.intersected(seen);
}

PixelBox Painter::pixelsOf(const QRectF& r) const {
  const QRectF px = toDevice_.mapRect(r);
  return {static_cast<std::int32_t>(std::floor(px.left())), static_cast<std::int32_t>(std::floor(px.top())),
          static_cast<std::int32_t>(std::ceil(px.right())), static_cast<std::int32_t>(std::ceil(px.bottom()))};
}

void Painter::draw(const DrawParams& P, int depth) {
  if (depth == 0) {
    // What the target shows, in the painter's coordinates; a viewport
    // narrows it for what it shows.
    clip_ = pass_ && pass_->shown ? *pass_->shown
            : g_.hasClipping()    ? g_.clipBoundingRect()
                                  : g_.transform().inverted().mapRect(QRectF(g_.window()));
    toDevice_ = g_.transform();
  }
  if (P.scope.block().empty()) {
    std::vector<std::int32_t> shown;
    const bool culled = entriesInView(P, depth, shown);
    if (!culled) {
      const std::size_t n = d_.polys.size();
      for (std::size_t i = 0; i < n && !(counting_ && budgetReached_); ++i) {
        if (depth == 0 && !takes(i, true)) continue;
        ahead(i + kAheadEntry < n ? i + kAheadEntry : kNoOwner, i + kAheadLine < n ? i + kAheadLine : kNoOwner);
        drawEntry(i, P, depth);
      }
    } else if (lockedLayers_ && noteLocked_) {
      // Those out of view are still told whether their layer is locked.
      auto next = shown.begin();
      for (std::size_t i = 0; i < d_.polys.size() && !(counting_ && budgetReached_); ++i) {
        const bool in = next != shown.end() && static_cast<std::size_t>(*next) == i;
        next += in;
        if (depth == 0 && !takes(i, in)) continue;
        drawEntry(i, P, depth, in);
      }
    } else {
      for (std::size_t k = 0; k < shown.size(); ++k) {
        if ((counting_ && budgetReached_) || lettersMet_) break;
        if (depth == 0 && !takes(static_cast<std::size_t>(shown[k]), true)) continue;
        auto at = [&](std::size_t j) { return j < shown.size() ? static_cast<std::size_t>(shown[j]) : kNoOwner; };
        ahead(at(k + kAheadEntry), at(k + kAheadLine));
        drawEntry(static_cast<std::size_t>(shown[k]), P, depth);
      }
    }
  } else {
    // A block's members, in list order; in a hurry, while time lasts.
    for (const std::size_t i : blocks_.members(P.scope.block())) {
      if (lettersMet_) return;
      if (depth == 0 && !takes(i, true)) continue;
      if (deadline_ && spentUp()) {
        incomplete_ = budgetReached_ = true;
        return;
      }
      drawEntry(i, P, depth);
    }
  }
}

void Painter::drawEntry(std::size_t i, const DrawParams& P, int depth, bool shown) {
  tpoly& p = d_.polys[i];
  if (collecting_) {
    if (!p.selected) return;  // it has no grips to collect
    const std::size_t visit = visits_++;
    if (visit / kCollectRun % static_cast<std::size_t>(parts_) != static_cast<std::size_t>(part_)) return;
    if (visit % kCollectRun == 0)
      collected_.runs.emplace_back(collected_.pieces.boxes.size(), collected_.entries.size());
  }
  // An entry of the scope itself (not a block's member drawn by a
  // reference) the pass may leave out. Where no layer is locked, it leaves
  // it out at once; else the entry is still told its layer is locked.
  const bool own = !P.byblock && pass_;
  const bool chosen = !own || !pass_->only || (*pass_->only)[i];
  const bool through = shown && (chosen || (pass_->throughViewports && p.isviewport()));
  if (!through && !lockedLayers_) return;
  // Of the scope's own entries, only references and viewports draw what
  // is counted.
  if (counting_ && through && p.selected) ++selectedSeen_;
  if (counting_ && depth == 0 && !p.insertstrpresent && p.extrakind != ExtraKind::Dimension && !p.isviewport()) return;
  if (!P.scope.inSpace(p)) return;
  // A block's members on layer "0" are on the layer of the reference that
  // draws them; so are attributes on layer "0" of the reference they
  // belong to, which hides them with itself.
  auto lookOf = [&](const tpoly& e) { return P.byblock && OnLayerZero(d_, e) ? P.byblock->layer : tables_.layer(e); };
  LayerLook layer = lookOf(p);
  if (const tpoly* owner = d_.attributeOwner(i)) {
    const LayerLook ownerLook = lookOf(*owner);
    if (ownerLook.off) return;
    if (OnLayerZero(d_, p)) layer = ownerLook;
  }
  if (noteLocked_) p.locked = layer.locked;
  if (layer.off) return;
  if (!P.scope.inBlock(p)) return;
  if (!through) return;
  // What it draws is noted for it.
  const std::size_t outerOwner = owner_;
  if (own) owner_ = chosen && pass_->reach ? i : kNoOwner;
  struct Restore {
    std::size_t& owner;
    std::size_t was;
    ~Restore() { owner = was; }
  } restore{owner_, outerOwner};
  const ScreenTransform& t = P.transform;
  // What references draw counts against the budget, and so does the model
  // shown by every viewport but the first: once, it is the drawing's own.
  if (P.byblock || (depth > 0 && viewports_ > 1)) expanded_ += static_cast<std::size_t>(p.anzp) + 1;

  // Colour 0 and line weight -2 are those of the reference.
  const bool widthByBlock = p.linweightpresent && p.lineweight == -2;
  const double width = P.byblock && widthByBlock ? P.byblock->width : PenWidth(p, layer, P.dpi1, P.showweight);
  const std::string_view name = blocks_.referenced(p);
  // An entry lies in its box, plus its pen, arrowheads, grips and a
  // dimension's text. A text knows its box once it is laid out.
  const bool text = p.istext();
  if (name.empty() && !p.isviewport() && !text) {
    const DimensionData& dim = d_.dimension(p);
    const double textReach = t.pixels(0.3) * (dim.messuaretxt.size() + dim.textstr.size() + 2);
    const double margin = width + t.zoom() / 600 + textReach + 12;
    // Widths at its vertices widen it too (looked for only where its
    // constant width leaves it off the screen).
    if (offScreen(p, t, margin + t.pixels(std::max(p.thewid, 0.0))) &&
        offScreen(p, t, margin + t.pixels(WidestOwnWidth(d_.stored(p), p.thewid))))
      return;
  }
  if (collecting_) {
    if (P.forprint) return;
    Pieces& pieces = collected_.pieces;
    GripCover::Entry e;
    const auto first = static_cast<std::uint32_t>(pieces.boxes.size());
    if (name.empty())
      if (const auto o = plainOutline(p, P, t, width)) {
        // What it may touch on the target (nothing: it shows nowhere).
        const auto part = seenPart(o->box, o->margin);
        const PixelBox touched = part ? pixelsOf(*part) : PixelBox{};
        pieces.addOutline(touched);
        e.outlineTouched = touched;
        e.outline = true;
      }
    e.gripsFrom = first + e.outline;
    drawGrips(p, P, t);
    e.grips = static_cast<std::uint32_t>(pieces.boxes.size() - e.gripsFrom);
    e.gripsTouched = collected_.gripsTouched;
    if (pieces.boxes.size() > first) collected_.entries.emplace_back(i, e);
    return;
  }
  const bool colorByBlock = p.colorispresent && p.colornr == 0;
  const Argb color = P.byblock && colorByBlock ? P.byblock->color : EntryColor(p, layer, P.showmodelforcolor);
  if (!name.empty()) {
    drawReference(p, name, {layer, color, width}, P, t, depth);
    if (!P.forprint && p.selected && !counting_) drawGrips(p, P, t);
    return;
  }
  if (counting_) {
    if (p.isviewport() && !p.issheet) drawViewport(p, P, t, depth);
    return;
  }

  const bool selectedLook = p.selected && !P.forprint;
  if (const GripCover::Entry* e = cover_->of(i); selectedLook && e && e->outline && plain(P)) {
    // Grips drawn after it hide it: only where it would draw is noted.
    plainPieces_ = e->gripsFrom - 1;
    if (nextCovered()) {
      if (owner_ != kNoOwner) (*pass_->reach)[owner_].add(e->outlineTouched);
      if (!e->gripsCovered) return drawGrips(p, P, t);
      if (owner_ != kNoOwner) (*pass_->reach)[owner_].add(e->gripsTouched);
      return;
    }
  }
  EntryDashes(d_, tables_, p, layer, t.zoom(), selectedLook, dashes_);
  const QPen& pen = entryPen(color, width);
  if (text && !p.ismleader()) {
    if (p.anzp > 0) drawText(p, P, t, color, pen);
  } else {
    drawGeometry(p, P, t, color, pen);
    if (p.ismleader() && p.anzp > 0) drawText(p, P, t, color, pen);
    if (p.isviewport() && !p.issheet) drawViewport(p, P, t, depth);
  }
  if (!P.forprint && p.selected) drawGrips(p, P, t);
}

bool Painter::entriesInView(const DrawParams& P, int depth, std::vector<std::int32_t>& out) {
  // Only where the index stands for the drawing units and the entries
  // visited are not counted against the budget (which would otherwise be
  // spent differently).
  const ScreenTransform& t = P.transform;
  if (!inView_ || t.turned() || P.byblock || (depth > 0 && viewports_ > 1) || !(t.zoom() > 0)) return false;
  const double top = std::max(clip_.top(), bandTop_), bottom = std::min(clip_.bottom(), bandBottom_);
  if (!(top <= bottom)) return true;  // nothing shows
  auto world = [&](double top, double bottom) {
    const Point2 a = t.toWorld(clip_.left(), bottom), b = t.toWorld(clip_.right(), top);
    return WorldBox{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  };
  // Pens, arrowheads (a sixth of a unit, 1.1 times over) and grips.
  std::int32_t weight = InView::kWidestWeight;
  for (std::int32_t l = 0; l < d_.anzlayer && l < static_cast<std::int32_t>(d_.layers.size()); ++l)
    weight = std::max(weight, d_.layers[static_cast<std::size_t>(l)].lineweight);
  tpoly widest;
  widest.linweightpresent = true;
  widest.lineweight = weight;
  const double pixels = PenWidth(widest, {}, P.dpi1, P.showweight) + 32;
  const double margin = pixels * 100 / t.zoom() + 0.25;
  // A block is drawn where its box widened as invisible() widens it shows
  // (and a pixel more against rounding).
  const double blockMargin = (kBlockMargin + 1) * 100 / t.zoom();
  const WorldBox part = world(top, bottom), shown = world(clip_.top(), clip_.bottom());
  for (const double v : {part.minx, part.miny, part.maxx, part.maxy, shown.minx, shown.miny, shown.maxx, shown.maxy,
                         margin, blockMargin})
    if (!std::isfinite(v)) return false;
  // The budget's count and the paint after it ask alike.
  const std::array<double, 10> query{part.minx, part.miny, part.maxx, part.maxy, shown.minx,
                                     shown.miny, shown.maxx, shown.maxy, margin, blockMargin};
  if (lastQuery_ != query) {
    lastInView_.clear();
    inView_->entries(part, margin, shown, blockMargin, lastInView_);
    lastQuery_ = query;
  }
  out.insert(out.end(), lastInView_.begin(), lastInView_.end());
  return true;
}

void Painter::drawReference(const tpoly& p, std::string_view name, const ByBlock& look, const DrawParams& P,
                            const ScreenTransform& t, int depth) {
  if (std::find(blockStack_.begin(), blockStack_.end(), name) != blockStack_.end()) return;  // drawn once
  if (depth >= kMaxDepth) {
    incomplete_ = true;
    return;
  }
  const Box3& box = blocks_.box(name);
  const auto [columns, rows] = blocks_.cells(p);
  blockStack_.push_back(name);
  DrawParams inner = P;
  inner.scope = TabScope::BlockContents(d_, name, P.scope.model());
  inner.byblock = look;
  for (std::int32_t c = 0; c < columns; ++c) {
    for (std::int32_t r = 0; r < rows; ++r) {
      if (spentUp()) {
        incomplete_ = budgetReached_ = true;
        blockStack_.pop_back();
        return;
      }
      // A cell off the screen or smaller than a pixel costs little, but
      // an array may have a billion of them.
      ++expanded_;
      inner.transform = t.placed(blocks_.placement(p, c, r));
      if (invisible(box, inner.transform)) continue;
      draw(inner, depth + 1);
    }
  }
  blockStack_.pop_back();
}

// A text as laid out: each run in its own font size, near what the screen
// shows, and scaled, stretched and slanted the rest of the way.
void Painter::drawText(const tpoly& p, const DrawParams& P, const ScreenTransform& t, Argb color, const QPen& pen) {
  const TextData& data = d_.text(p);
  if (data.invisible) return;
  // The frame of the text, its baseline and upright from its insertion
  // point, on the screen.
  const Tmypoi& at = d_.ps(p)[0];
  const Point2 o = t.toScreen(at.x, at.y, at.z);
  const Point2 ex = t.toScreen(at.x + data.xdirx, at.y + data.xdiry, at.z);
  const Point2 ey = t.toScreen(at.x + data.ydirx, at.y + data.ydiry, at.z);
  // What lies far off the screen is not even laid out.
  const double reach = TextReach(d_, p) * std::max(std::hypot(ex.x - o.x, ex.y - o.y), std::hypot(ey.x - o.x, ey.y - o.y));
  if (reach < 1e12 && !QRectF(o.x - reach, o.y - reach, 2 * reach, 2 * reach).intersects(clip_)) return;
  TextLayout& l = layout_;
  LayOutText(d_, p, l);
  if (l.empty) return;
  const QTransform frame(ex.x - o.x, ex.y - o.y, ey.x - o.x, ey.y - o.y, o.x, o.y);
  const QTransform toScreen = QTransform(l.place[0], l.place[1], l.place[2], l.place[3], l.place[4], l.place[5]) * frame;
  const QRectF box = toScreen.mapRect(QRectF(QPointF(l.minx, l.miny), QPointF(l.maxx, l.maxy)));
  const double margin = pen.widthF() + 2;
  if (!std::isfinite(box.left()) || !std::isfinite(box.right()) || !std::isfinite(box.top()) ||
      !std::isfinite(box.bottom()) || !box.adjusted(-margin, -margin, margin, margin).intersects(clip_))
    return;
  const double up = std::hypot(toScreen.m21(), toScreen.m22());  // pixels per unit of height
  const bool outline = p.selected && !P.forprint;
  auto colorOf = [&](std::int32_t aci, std::int32_t rgb) {
    if (rgb >= 0) return QColor(QRgb(0xFF000000u | static_cast<std::uint32_t>(rgb)));
    return Color(aci >= 0 ? getcolornr(aci, P.showmodelforcolor) : color);
  };
  auto line = [&](double x0, double y0, double x1, double y1, double width, const QColor& c) {
    QPen linePen = outline ? pen : QPen(c, width, Qt::SolidLine, Qt::FlatCap);
    if (outline) linePen.setWidthF(std::max(width, pen.widthF()));
    const QPointF a = toScreen.map(QPointF(x0, y0)), b = toScreen.map(QPointF(x1, y1));
    if (std::optional<ThinLines> thin = ThinLines::For(g_, linePen)) {
      thin->line(a, b);
    } else {
      g_.setPen(linePen);
      g_.drawLine(a, b);
    }
    touch(QRectF(a, b), linePen.widthF());
  };
  const QTransform saved = g_.transform();
  for (const TextRun& r : l.runs) {
    if (r.from == r.to || (r.lines & kHidden)) continue;
    const QColor c = colorOf(r.aci, r.rgb);
    const double capPx = r.height * up;
    if (!(capPx < kMostCapPixels)) continue;
    if (capPx < kLegible) {
      // Too small to read: a stroke as dark as its letters would be.
      if (capPx < 0.1) continue;
      line(r.x, r.y + 0.35 * r.height, r.x + r.width, r.y + 0.35 * r.height, 0.4 * capPx, c);
      continue;
    }
    const double slant = r.oblique == 0 ? 0 : std::tan(r.oblique * kPi / 180);
    const double reachOut = r.height * (1 + std::abs(slant));  // accents, descenders, slanted letters
    const QRectF runBox = toScreen.mapRect(
        QRectF(QPointF(r.x - reachOut, r.y - r.height), QPointF(r.x + r.width + reachOut, r.y + 2 * r.height)));
    if (!runBox.intersects(clip_)) continue;
    touch(runBox, pen.widthF());
    // Font pixels are em pixels; the rest of the scale, the width factor
    // and the slant are in the transform (font y runs down).
    const int pixels = static_cast<int>(std::lround(std::clamp(capPx / kCapPerEm, 1.0, double{kMostFontPixels})));
    const double k = r.height / (pixels * kCapPerEm);
    const QTransform glyphs(k * r.widthFactor, 0, -k * slant, -k, r.x, r.y);
    const QTransform all = glyphs * toScreen;
    if (stopAtLetters()) return;
    QFont f = textFont(pixels);
    if (r.tracking != 1) f.setLetterSpacing(QFont::PercentageSpacing, r.tracking * 100);
    const std::string_view utf8 = l.text(r);
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (outline) {
      QPainterPath path;
      path.addText(0, 0, f, s);
      g_.strokePath(all.map(path), pen);
    } else {
      g_.setTransform(all * saved);
      g_.setFont(f);
      g_.setPen(c);
      g_.drawText(QPointF(0, 0), s);
      g_.setTransform(saved);
    }
  }
  for (const TextStroke& s : l.strokes) {
    const double width = s.thickness * up;
    if (width < kMostCapPixels) line(s.x0, s.y0, s.x1, s.y1, std::max(width, 1.0), colorOf(s.aci, s.rgb));
  }
}

void Painter::drawGeometry(const tpoly& p, const DrawParams& P, const ScreenTransform& t, Argb color, QPen pen) {
  const EntryPoints& pts = points(p);
  if (pts.empty()) return;
  const bool selectedLook = p.selected && !P.forprint;
  const QColor arrowColor = Color(P.showmodelforcolor ? kBlack : kWhite);
  // An arrow is a sixth of a drawing unit long; a multileader's as long as
  // it says.
  const double k = p.ismleader() ? t.pixels(d_.text(p).arrowSize) : t.zoom() / 600;
  auto widthFor = [&](double w) { return t.pixels(w) < 0 ? 1.0 : t.pixels(w); };
  if (p.setwidonce && p.thewid > 0) pen.setWidthF(widthFor(p.thewid));
  if (p.patternfill()) {
    hatches_.draw(g_, d_, p, t, clip_, Color(color), pen.widthF(), P.showmodelforcolor);
    if (owner_ != kNoOwner) {
      // Its fill and pattern lie inside its loops.
      double minx = std::numeric_limits<double>::infinity(), miny = minx, maxx = -minx, maxy = -minx;
      for (const Tmypoi& q : pts) {
        const auto [x, y] = t.toPaint(q.x, q.y, q.z);
        minx = std::min(minx, x), maxx = std::max(maxx, x), miny = std::min(miny, y), maxy = std::max(maxy, y);
      }
      touch(QRectF(QPointF(minx, miny), QPointF(maxx, maxy)), pen.widthF());
    }
    if (!selectedLook) return;  // a hatch's boundary shows only while it is selected
  }
  // What the outline reaches: its points, its widest pen, its arrows, its
  // dimension text.
  double reachMinx = std::numeric_limits<double>::infinity(), reachMiny = reachMinx, reachMaxx = -reachMinx,
         reachMaxy = -reachMinx;
  double widest = pen.widthF(), arrowReach = 0;

  const bool fill = (p.issolid() && !p.patternfill()) || p.iswipeout();
  OutlinePath& path = outline_;
  path.clear();
  bool split = false, started = false;
  double cx = 0, cy = 0;
  bool firstSegment = true;
  auto stroke = [&] {
    path.stroke(g_, pen);
    path.clear();
  };
  auto arrow = [&](double tipx, double tipy, double fromx, double fromy) {
    const auto head = ArrowHead({tipx, tipy}, {fromx, fromy}, k);
    if (!head) return;
    arrowReach = std::max(arrowReach, 1.1 * std::abs(k));
    const auto& [at, back1, back2] = *head;
    path.moveTo(at.x, at.y);
    path.lineTo(back1.x, back1.y);
    path.lineTo(back2.x, back2.y);
    path.lineTo(at.x, at.y);
    g_.fillPath(path.path(), arrowColor);
  };

  // A segment that narrows or widens along its length: its outline filled.
  auto taper = [&](double ax, double ay, double bx, double by, double wa, double wb) {
    const double L = std::hypot(bx - ax, by - ay);
    if (!(L > 0)) return;
    const double nx = (ay - by) / L / 2, ny = (bx - ax) / L / 2;
    const QPointF corners[] = {{ax + nx * wa, ay + ny * wa}, {bx + nx * wb, by + ny * wb},
                               {bx - nx * wb, by - ny * wb}, {ax - nx * wa, ay - ny * wa}};
    QPainterPath outline;
    outline.addPolygon(QPolygonF(QList<QPointF>(std::begin(corners), std::end(corners))));
    g_.fillPath(outline, pen.color());
  };

  // Vertices closer than this to the last one drawn add nothing visible
  // and are left out (the last of them is drawn at the end).
  constexpr double kSubPixel = 0.3;
  bool pending = false;
  double pendx = 0, pendy = 0;
  for (const Tmypoi& q : pts) {
    if (q.donotdraw) continue;
    if (q.setwid && q.wid != 0) {
      pen.setWidthF(widthFor(q.wid));
      widest = std::max(widest, pen.widthF());
    }
    const auto [tx, ty] = t.toPaint(q.x, q.y, q.z);
    reachMinx = std::min(reachMinx, tx), reachMaxx = std::max(reachMaxx, tx);
    reachMiny = std::min(reachMiny, ty), reachMaxy = std::max(reachMaxy, ty);
    if (q.setwid) widest = std::max({widest, widthFor(q.startwid), widthFor(q.wid)});
    if (started && !q.moveonly && !q.setwid && !q.botharrows && !q.doadddimtexthere && !(p.arrowhead && firstSegment) &&
        std::abs(tx - cx) < kSubPixel && std::abs(ty - cy) < kSubPixel) {
      pending = true, pendx = tx, pendy = ty;
      continue;
    }
    pending = false;
    if (!started) {
      started = true;
      path.moveTo(tx, ty);
      if (p.ispoint()) g_.fillRect(QRectF(std::nearbyint(tx), ty, 1, 1), Color(color));
    } else {
      if ((p.arrowhead && firstSegment) || q.botharrows == 1 || q.botharrows == 3) arrow(cx, cy, tx, ty);
      if (q.botharrows == 2 || q.botharrows == 3) arrow(tx, ty, cx, cy);
      if (q.doadddimtexthere) {
        if (stopAtLetters()) return;
        const DimensionData& dim = d_.dimension(p);
        const auto [ax, ay] = t.toPaint(dim.cx1, dim.cy1, dim.cz1);
        const QFont font = ArialPixels(std::min(WholePixels(t.pixels(0.3)), 1 << 16));
        const QFontMetricsF m(font);
        const QString text = Q(DimensionText(d_, p));
        const double ox = std::nearbyint(ax) - std::floor(m.horizontalAdvance(text) / 2);
        const double oy = std::nearbyint(ay) - std::floor(m.height() / 2);
        touch(QRectF(ox, oy, m.horizontalAdvance(text), m.height()), pen.widthF() + 0.3 * font.pixelSize());
        if (selectedLook) {
          QPainterPath outlined = path.path();
          outlined.addText(ox, oy + m.ascent(), font, text);
          g_.strokePath(outlined, pen);
          path.clear();
        } else {
          g_.setFont(font);
          g_.setPen(Color(color));
          g_.drawText(QPointF(ox, oy + m.ascent()), text);
        }
      }
      if (q.moveonly) {
        stroke();
        path.moveTo(tx, ty);
      } else if (q.setwid && q.startwid != q.wid) {
        taper(cx, cy, tx, ty, widthFor(q.startwid), widthFor(q.wid));
        path.moveTo(tx, ty);
      } else {
        if (path.current() != QPointF(cx, cy)) path.moveTo(cx, cy);
        path.lineTo(tx, ty);
      }
      firstSegment = false;
    }
    cx = tx, cy = ty;
    if (q.setwid) {
      stroke();
      path.moveTo(tx, ty);
      split = true;
    }
  }
  if (pending) {
    if (path.current() != QPointF(cx, cy)) path.moveTo(cx, cy);
    path.lineTo(pendx, pendy);
  }
  if (p.isclosed && !split) path.close();
  if (fill) {
    g_.fillPath(path.path(), p.iswipeout() ? QColor(Qt::white) : Color(color));
  }
  stroke();
  if (reachMinx <= reachMaxx)
    touch(QRectF(QPointF(reachMinx, reachMiny), QPointF(reachMaxx, reachMaxy)), widest / 2 + arrowReach + 1);
}

void Painter::drawViewport(const tpoly& p, const DrawParams& P, const ScreenTransform& t, int depth) {
  const ViewportData& v = d_.viewport(p);
  const Point2 lowLeft = t.toPaint(p.cx - v.widx / 2, p.cy - v.widy / 2, p.cz);
  const Point2 topRight = t.toPaint(p.cx + v.widx / 2, p.cy + v.widy / 2, p.cz);
  const QRectF frame = QRectF(QPointF(lowLeft.x, topRight.y), QPointF(topRight.x, lowLeft.y)).normalized();
  if (!counting_) {
    g_.save();
    g_.setClipRect(frame, Qt::IntersectClip);
    touch(frame, 0);
  }
  // The model, unless it is what is being drawn already.
  const TabScope model = TabScope::ModelSpace(d_);
  if (!v.off && v.viewheight != 0 && v.widy != 0 && !(P.scope.model() && P.scope.layhan() == model.layhan())) {
    if (++viewports_ > 1 && spentUp()) {
      incomplete_ = budgetReached_ = true;
    } else {
      DrawParams inner = P;
      inner.scope = model;
      // A drawing without layouts shows the model at the sheet's scale.
      inner.transform = t.insideViewport(p.cx, p.cy, v.widy, v.viewheight, v.panx, v.pany, model.layhan().has_value());
      const QRectF outer = clip_;
      clip_ = clip_.intersected(frame);
      draw(inner, depth + 1);
      clip_ = outer;
    }
  }
  if (!counting_) g_.restore();
}

// Blue squares on the points that have their own lines in the drawing; the
// three hidden grips of a viewport get pictures of their own.
void Painter::drawGrips(const tpoly& p, const DrawParams& P, const ScreenTransform& t) {
  const EntryPoints& pts = points(p);
  const bool plain = this->plain(P);
  auto icon = [&](std::size_t j) { return p.isviewport() && !p.issheet && j >= 5 && j <= 7; };
  // On pixel centres the squares are noted at once: the box round the
  // parts of them that may show has the pixels noting each one gives.
  // A square wholly within what may show (nearly every one) is its own
  // part: on whole pixels, the box round those is found from their centres.
  std::optional<QRectF> reached;
  const QRectF seen = clip_.adjusted(-2, -2, 2, 2);
  const double seenRight = seen.x() + seen.width(), seenBottom = seen.y() + seen.height();
  constexpr double kReach = 8 + 1 + 2;  // the square, the pen, and two pixels more
  double lowx = std::numeric_limits<double>::infinity(), lowy = lowx, highx = -lowx, highy = -lowx;
  auto reach = [&](double gx, double gy) {
    if (!plain || owner_ == kNoOwner) return touch(QRectF(gx - 8, gy - 8, 16, 16), 1);
    if (gx - kReach >= seen.x() && gx + kReach <= seenRight && gy - kReach >= seen.y() && gy + kReach <= seenBottom) {
      lowx = std::min(lowx, gx), highx = std::max(highx, gx), lowy = std::min(lowy, gy), highy = std::max(highy, gy);
      return;
    }
    if (const auto part = seenPart(QRectF(gx - 8, gy - 8, 16, 16), 1))
      reached = reached ? reached->united(*part) : *part;
  };
  auto allReached = [&]() -> std::optional<QRectF> {
    if (!(lowx <= highx)) return reached;
    const QRectF inside(lowx - kReach, lowy - kReach, highx + kReach - (lowx - kReach),
                        highy + kReach - (lowy - kReach));
    return reached ? reached->united(inside) : inside;
  };
  if (collecting_) {
    // What drawing them would note is noted for the band that finds them all covered.
    for (std::size_t j = 0; j < pts.size() && plain; ++j)
      if (const Tmypoi& q = pts[j]; q.linex > 0 && !icon(j)) {
        const auto [gx, gy] = t.toPixel(q.x, q.y, q.z);
        collected_.pieces.addGrip(WholePixels(gx), WholePixels(gy));
        reach(gx, gy);
      }
    const auto all = allReached();
    collected_.gripsTouched = all ? pixelsOf(*all) : PixelBox{};
    return;
  }
  const QPen& pen = gripPens_[P.showmodelforcolor ? 1 : 0];
  if (plain) {
    const GripCover::Entry* e = cover_->of(static_cast<std::size_t>(&p - d_.polys.data()));
    plainPieces_ = e ? e->gripsFrom : cover_->covered.size();
  }
  // Plain grips on a picture are set into its pixels as QPainter would draw them.
  auto* picture = dynamic_cast<QImage*>(g_.device());
  const GripStamp& stamp = GripStamp::Of(P.showmodelforcolor ? kBlack : kWhite);
  const bool stamped = (!pass_ || pass_->stampGrips) && plain && picture && picture->format() == QImage::Format_RGB32 && stamp.usable() &&
                       g_.renderHints() == kCentredHints && g_.compositionMode() == QPainter::CompositionMode_SourceOver &&
                       g_.opacity() == 1;
  std::uint32_t* pixels = stamped ? reinterpret_cast<std::uint32_t*>(picture->bits()) : nullptr;
  for (std::size_t j = 0; j < pts.size(); ++j) {
    const Tmypoi& q = pts[j];
    if (q.linex <= 0) continue;
    const auto [gx, gy] = t.toPixel(q.x, q.y, q.z);
    reach(gx, gy);
    if (icon(j)) {
      // Pan (a cross) and the two zoom handles (triangles up and down).
      g_.setPen(pen);
      g_.setBrush(Qt::yellow);
      if (j == 5) {
        g_.drawRect(QRectF(gx - 7, gy - 2, 14, 4));
        g_.drawRect(QRectF(gx - 2, gy - 7, 4, 14));
      } else {
        const double s = j == 6 ? -1 : 1;
        const QPointF tri[] = {{gx, gy + 7 * s}, {gx - 7, gy - 6 * s}, {gx + 7, gy - 6 * s}};
        g_.drawPolygon(tri, 3);
      }
      g_.setBrush(Qt::NoBrush);
      continue;
    }
    if (plain && nextCovered()) continue;
    if (stamped) {
      stamp.draw(pixels, picture->bytesPerLine() / 4, picture->width(), picture->height(), WholePixels(gx), WholePixels(gy));
      if (pass_) ++pass_->gripsStamped;
    } else
      GripStamp::Paint(g_, gx, gy, pen);
  }
  if (const auto all = allReached()) (*pass_->reach)[owner_].add(pixelsOf(*all));
}

void Painter::drawTab(const DrawParams& P, const tblock* layoutBlock) {
  draw(P, 0);
  if (layoutBlock && !layoutBlock->blockname.empty()) {
    // The layout's block, its base point on the origin.
    DrawParams members = P;
    members.scope = P.scope.membersOf(*layoutBlock);
    members.transform = P.transform.shifted(-layoutBlock->basex, -layoutBlock->basey);
    draw(members, 0);
  }
}

void Painter::coverGrips(const DrawParams& P, const tblock* layoutBlock) {
  // Gone through on the machine's cores, each painter taking its runs of
  // the selected entries visited; the pieces then put in the order of one
  // going through.
  const int parts = WorkerCount();
  std::vector<Collected> collected(static_cast<std::size_t>(parts));
  RunTasks(parts, [&](int k) {
    Painter c(g_, d_, pass_);
    c.collecting_ = true;
    c.noteLocked_ = false;
    c.part_ = k, c.parts_ = parts;
    c.drawTab(P, layoutBlock);
    collected[static_cast<std::size_t>(k)] = std::move(c.collected_);
  });
  std::vector<PieceStretch> order;
  std::size_t count = 0;
  ownCover_.entries.assign(d_.polys.size(), GripCover::Entry{});
  for (std::size_t run = 0;; ++run) {
    const Collected& c = collected[run % collected.size()];
    const std::size_t j = run / collected.size();
    if (j >= c.runs.size()) break;
    const auto [piecesFrom, entriesFrom] = c.runs[j];
    const std::size_t piecesTo = j + 1 < c.runs.size() ? c.runs[j + 1].first : c.pieces.boxes.size();
    const std::size_t entriesTo = j + 1 < c.runs.size() ? c.runs[j + 1].second : c.entries.size();
    const auto shift = static_cast<std::uint32_t>(count - piecesFrom);
    order.push_back({&c.pieces, piecesFrom, piecesTo});
    count += piecesTo - piecesFrom;
    for (std::size_t k = entriesFrom; k < entriesTo; ++k) {
      auto [i, e] = c.entries[k];
      GripCover::Entry& to = ownCover_.entries[i];
      // Drawn plainly twice, an entry's pieces could not be told apart.
      if (to.gripsFrom != GripCover::kNone) ownCover_.twice = true;
      e.gripsFrom += shift;
      to = e;
    }
  }
  if (ownCover_.twice) {
    ownCover_ = {};
    return;
  }
  const QPaintDevice* target = g_.device();
  const GripStamp& stamp = GripStamp::Of(P.showmodelforcolor ? kBlack : kWhite);
  ownCover_.covered =
      CoveredPieces(order, count, stamp.usable() ? stamp.shape() : GripShape{}, target->width(), target->height());
  std::size_t k = 0;
  for (const PieceStretch& stretch : order)
    for (std::size_t j = stretch.from; j < stretch.to; ++j, ++k)
      if (ownCover_.covered[k]) ++(stretch.pieces->grip[j] ? pass_->gripsCovered : pass_->outlinesCovered);
  // An entry whose grips are all covered draws nothing: a band leaves it at once.
  const std::size_t n = ownCover_.entries.size();
  RunTasks(parts, [&](int k) {
    const auto to = n * static_cast<std::size_t>(k + 1) / static_cast<std::size_t>(parts);
    for (auto i = n * static_cast<std::size_t>(k) / static_cast<std::size_t>(parts); i < to; ++i) {
      GripCover::Entry& e = ownCover_.entries[i];
      if (e.gripsFrom == GripCover::kNone) continue;
      e.gripsCovered = true;
      for (std::size_t g = e.gripsFrom; g < e.gripsFrom + e.grips && e.gripsCovered; ++g)
        e.gripsCovered = ownCover_.covered[g];
    }
  });
}

std::optional<Painter::Outline> Painter::plainOutline(const tpoly& p, const DrawParams& P, const ScreenTransform& t,
                                                      double width) const {
  // Texts, viewports, hatches and multileaders draw more than an outline,
  // arrows and a dimension's text beyond its points.
  if (!plain(P) || p.istext() || p.ismleader() || p.isviewport() || p.patternfill() || p.arrowhead) return std::nullopt;
  auto widthFor = [&](double w) { return t.pixels(w) < 0 ? 1.0 : t.pixels(w); };
  double pen = p.setwidonce && p.thewid > 0 ? widthFor(p.thewid) : width, widest = pen;
  double minx = std::numeric_limits<double>::infinity(), miny = minx, maxx = -minx, maxy = -minx;
  // Where points are only moved and scaled, each step of toPaint keeps the
  // order of x and (turned over) of y: the box of the points placed is the
  // box of the points, placed.
  const bool ordered = !t.turned() && t.zoom() > 0;
  for (const Tmypoi& q : points(p)) {
    if (q.donotdraw) continue;
    if (q.botharrows || q.doadddimtexthere) return std::nullopt;
    if (q.setwid && q.wid != 0) pen = widthFor(q.wid);
    const auto [x, y] = ordered ? Point2{q.x, q.y} : t.toPaint(q.x, q.y, q.z);
    minx = std::min(minx, x), maxx = std::max(maxx, x), miny = std::min(miny, y), maxy = std::max(maxy, y);
    widest = std::max(widest, pen);
    if (q.setwid) widest = std::max({widest, widthFor(q.startwid), widthFor(q.wid)});
  }
  if (ordered && minx <= maxx && miny <= maxy) {
    const Point2 low = t.toPaint(minx, maxy), high = t.toPaint(maxx, miny);
    minx = low.x, miny = low.y, maxx = high.x, maxy = high.y;
  }
  const double margin = widest / 2 + 1;
  if (!(minx <= maxx) || !std::isfinite(minx) || !std::isfinite(maxx) || !std::isfinite(miny) || !std::isfinite(maxy) ||
      !std::isfinite(margin))
    return std::nullopt;
  return Outline{QRectF(QPointF(minx, miny), QPointF(maxx, maxy)), margin};
}

bool Painter::reachesBudget(const DrawParams& P, const tblock* layoutBlock) {
  counting_ = true;
  drawTab(P, layoutBlock);
  const bool reached = budgetReached_;
  counted_ = expanded_;
  counting_ = incomplete_ = budgetReached_ = false;
  expanded_ = viewports_ = 0;
  return reached;
}

}  // namespace

void PixelCentres(QPainter& g) {
  g.setRenderHint(QPainter::Antialiasing);
  g.setRenderHint(QPainter::TextAntialiasing);
  g.translate(0.5, 0.5);
}

namespace {

void OriginIcon(QPainter& g, int width, int height, Point2 origin) {
  int ox = WholePixels(origin.x), oy = WholePixels(origin.y);
  bool detached = false;
  if (ox + 80 >= width || oy + 5 >= height || ox - 5 < 0 || oy - 80 < 0) {
    ox = 15, oy = height - 16;
    detached = true;
  }
  g.setPen(QPen(Qt::black, 1));
  g.drawLine(detached ? ox + 5 : ox - 5, oy, ox + 47, oy);
  g.drawLine(ox, detached ? oy - 5 : oy + 5, ox, oy - 47);
  g.drawRect(ox - 5, oy - 5, 10, 10);
  const QPoint xArrow[] = {{ox + 47, oy - 5}, {ox + 47, oy + 5}, {ox + 60, oy}, {ox + 47, oy - 5}};
  const QPoint yArrow[] = {{ox - 5, oy - 47}, {ox + 5, oy - 47}, {ox, oy - 60}, {ox - 5, oy - 47}};
  g.drawPolyline(xArrow, 4);
  g.drawPolyline(yArrow, 4);
  g.setPen(QPen(QColor(0x9B, 0x9B, 0x9B), 1));
  g.drawLine(ox + 48, oy + 2, ox + 61, oy);
  g.drawLine(ox + 48, oy - 1, ox + 54, oy - 1);
  g.drawLine(ox + 2, oy - 48, ox, oy - 61);
  g.drawLine(ox - 1, oy - 48, ox - 1, oy - 54);
  const QFont font = ArialPixels(20);
  g.setFont(font);
  g.setPen(Qt::black);
  const QFontMetrics m(font);
  g.drawText(QPoint(ox + 65, oy - m.height() / 2 + m.ascent()), QStringLiteral("X"));
  g.drawText(QPoint(ox - m.horizontalAdvance('X') / 2, oy - m.height() - 65 + m.ascent()), QStringLiteral("Y"));
}

}  // namespace

namespace {

// Paints the tab in bands of rows, one per worker, each on a picture of
// its own the size of the canvas: the entries that may reach a band are
// drawn there as a whole paint draws them, without a clip (which would
// shade the edges of lines crossing it otherwise), and the band's rows are
// copied into the canvas. Where letters have shown at this zoom or a lower
// one, a band on another thread stops before the first entry that may show
// them, and this thread draws the rest of it after its own. False, with the
// canvas as it was, when the bands together spent what a whole paint may
// spend on hatch patterns (a whole paint might have filled a hatch that
// they drew lined), or when a band on another thread met letters.
bool PaintBands(QImage& canvas, QPainter& g, Drawing& d, const DrawParams& params, const tblock* layoutBlock,
                const GripCover& cover, PaintPass& pass, bool& complete) {
  const int bands = std::min(WorkerCount(), canvas.height() / (kFewestRows / 2));
  const std::size_t n = d.polys.size();
  struct Band {
    QImage picture;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<Painter> p;
    PaintPass own;
    std::vector<PixelBox> reach;
  };
  std::vector<Band> out(static_cast<std::size_t>(bands));
  const auto line = static_cast<std::size_t>(canvas.bytesPerLine());
  auto first = [&](int k) { return canvas.height() * k / bands; };
  const QTransform toPainter = g.transform().inverted();
  const std::optional<QRect> clip =
      g.hasClipping() && pass.shown ? std::optional(g.transform().mapRect(*pass.shown).toRect()) : std::nullopt;
  const bool beforeLetters = pass.inView->showsLetters(params.transform.zoom());
  const std::thread::id asked = std::this_thread::get_id();
  auto bandTask = [&](int k) {
    Band& b = out[static_cast<std::size_t>(k)];
    const int y0 = first(k), y1 = first(k + 1);
    b.picture = QImage(canvas.size(), canvas.format());
    for (int y = y0; y < y1; ++y) std::memcpy(b.picture.scanLine(y), canvas.constScanLine(y), line);
    b.painter = std::make_unique<QPainter>(&b.picture);
    QPainter& painter = *b.painter;
    painter.setRenderHints(g.renderHints());
    if (clip) painter.setClipRect(*clip);
    painter.setTransform(g.transform());
    painter.setPen(g.pen());
    painter.setBrush(g.brush());
    b.own = pass;
    b.own.gripsStamped = 0;
    if (pass.reach) {
      b.reach.assign(n, PixelBox{});
      b.own.reach = &b.reach;
    }
    b.p = std::make_unique<Painter>(painter, d, &b.own);
    Painter& p = *b.p;
    p.shareCover(cover);
    // The rows of the band and a pixel around, in painter coordinates;
    // the first and the last reach beyond the canvas.
    constexpr double kAll = std::numeric_limits<double>::infinity();
    const double top = k == 0 ? -kAll : toPainter.map(QPointF(0, y0 - 1)).y();
    const double bottom = k == bands - 1 ? kAll : toPainter.map(QPointF(0, y1 + 1)).y();
    p.band(top, bottom, k == 0, std::this_thread::get_id() == asked, beforeLetters);
    p.drawTab(params, layoutBlock);
  };
  RunTasks(bands, bandTask);
  double hatches = 0;
  bool letters = false;
  for (Band& b : out) {
    if (!letters && b.p->stoppedBeforeLetters()) b.p->resume(params, layoutBlock);
    hatches += b.p->hatchesSpent(), letters = letters || b.p->metLetters();
  }
  if (letters) pass.inView->noteLetters(params.transform.zoom());
  if (hatches >= 1 || letters) return false;
  // Each band's rows into the canvas, and the notes of every band for a
  // share of the entries, on the machine's cores.
  uchar* rows = canvas.bits();
  RunTasks(bands, [&](int k) {
    Band& b = out[static_cast<std::size_t>(k)];
    b.painter->end();
    for (int y = first(k); y < first(k + 1); ++y)
      std::memcpy(rows + static_cast<std::size_t>(y) * line, b.picture.constScanLine(y), line);
    if (!pass.reach) return;
    const auto from = n * static_cast<std::size_t>(k) / static_cast<std::size_t>(bands),
               to = n * static_cast<std::size_t>(k + 1) / static_cast<std::size_t>(bands);
    for (const Band& each : out)
      for (std::size_t i = from; i < to; ++i) (*pass.reach)[i].add(each.reach[i]);
  });
  for (const Band& b : out) {
    complete = complete && !b.p->incomplete();
    pass.gripsStamped += b.own.gripsStamped;
  }
  pass.spent = std::max(pass.spent, hatches);
  return true;
}

}  // namespace

bool DrawTab(QPainter& g, Drawing& d, const DrawParams& params, const tblock* layoutBlock, PaintPass* pass) {
  Painter painter(g, d, pass);
  // The screen does not wait for a paint that leaves out references anyway.
  // (A printout takes what the whole budget allows.)
  const bool hurry = pass && painter.reachesBudget(params, layoutBlock);
  if (hurry) painter.hurry();
  // A paint in a hurry may end early: the grips it would not reach cover
  // nothing. The count went by every entry the paint visits.
  if (pass && pass->coverGrips && !params.forprint && !hurry && painter.selectedSeen() >= kManySelected)
    painter.coverGrips(params, layoutBlock);
  // A large picture of many entries is painted in bands on the machine's
  // cores, when it does not hurry (which would end the bands at different
  // points).
  auto* canvas = dynamic_cast<QImage*>(g.device());
  if (pass && pass->inView && !pass->only && !hurry && canvas && WorkerCount() > 1 && canvas->height() >= kFewestRows &&
      d.polys.size() >= pass->inView->bandedFrom) {
    bool complete = true;
    pass->spent = painter.countedSpent();
    if (PaintBands(*canvas, g, d, params, layoutBlock, painter.cover(), *pass, complete)) return complete;
  }
  painter.drawTab(params, layoutBlock);
  if (pass) pass->spent = painter.spent();
  return !painter.incomplete();
}

namespace {

bool ShowsSheet(const TabScope& scope, const ViewState& view) { return !scope.model() || view.Druckvorschau; }

}  // namespace

QColor GroundColor(const Drawing& d, const ViewState& view) {
  return ShowsSheet(TabScope::OfTab(d, view.tab), view) ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white);
}

TabPaint PaintBackground(QPainter& g, int width, int height, Drawing& d, const ViewState& view,
                         const PrintSetup& print, const PrinterPage& page, int screenDpi) {
  const TabScope scope = TabScope::OfTab(d, view.tab);
  const ScreenTransform window = WindowTransform(view, height);
  QRect shown(0, 0, width, height);
  const bool sheet = ShowsSheet(scope, view);
  g.fillRect(QRect(0, 0, width, height), GroundColor(d, view));

  if (sheet) {
    const Sheet s = TabSheet(d, view.tab, print, page);
    const QColor paper = scope.model() ? Qt::white : Qt::black;
    const QColor edge = scope.model() ? Qt::black : Qt::white;
    // A drawing rectangle in whole pixels.
    auto rect = [&](double x0, double y0, double x1, double y1) {
      const Point2 a = window.toPixel(x0, y1), b = window.toPixel(x1, y0);
      return QRect(QPoint(WholePixels(a.x), WholePixels(a.y)), QPoint(WholePixels(b.x), WholePixels(b.y))).normalized();
    };
    g.setPen(edge);
    g.setBrush(paper);
    g.drawRect(rect(s.x0, s.y0, s.x1, s.y1));
    const QRect printable = rect(s.px0, s.py0, s.px1, s.py1);
    g.setPen(QPen(edge, 1, Qt::DashLine));
    g.drawRect(printable);
    g.setBrush(Qt::NoBrush);
    if (view.Druckvorschau) {
      g.setClipRect(printable, Qt::IntersectClip);
      shown = printable;
    }
  }
  PixelCentres(g);
  if (scope.model() && !view.Druckvorschau) OriginIcon(g, width, height, window.toPixel(0, 0));

  DrawParams P{window, scope.outsideBlocks()};
  P.forprint = false;
  P.showmodelforcolor = scope.model();
  P.dpi1 = screenDpi;
  P.showweight = view.Linienbreitezeigen;
  return {P, scope.recordBlock(), g.transform().inverted().mapRect(QRectF(shown))};
}

bool PaintBox1Paint(QImage& canvas, Drawing& d, const ViewState& view, const PrintSetup& print,
                    const PrinterPage& page, int screenDpi, InView* inView) {
  QPainter g(&canvas);
  const TabPaint tab = PaintBackground(g, canvas.width(), canvas.height(), d, view, print, page, screenDpi);
  PaintPass pass;
  pass.shown = tab.shown;
  pass.inView = inView;
  if (inView) inView->refresh(d);
  return DrawTab(g, d, tab.params, tab.layoutBlock, &pass);
}

namespace {

// The ring of a mark in colour `c`, drawn once for all: opaque where it
// is, transparent around it, its centre at (kCutMarkRadius + 2, the same).
QImage CutRing(const QColor& c) {
  constexpr int kCentre = kCutMarkRadius + 2;
  QImage ring(2 * kCentre + 1, 2 * kCentre + 1, QImage::Format_ARGB32_Premultiplied);
  ring.fill(Qt::transparent);
  QPainter g(&ring);
  g.setPen(QPen(c, 3));
  g.drawEllipse(QPoint(kCentre, kCentre), kCutMarkRadius, kCutMarkRadius);
  return ring;
}

}  // namespace

void DrawCutMarks(QPainter& g, const std::vector<CutMark>& marks) {
  // Colours that stand out on the white model and on the black sheet
  // alike, and from the drawing's own colours: errors pink, kinds the
  // machines do not take blue.
  const QColor colours[2] = {QColor(0, 144, 255), QColor(255, 0, 144)};
  const QImage rings[2] = {CutRing(colours[0]), CutRing(colours[1])};
  constexpr int kFrameGap = 3, kCentre = kCutMarkRadius + 2;
  // Many findings at one pixel (a drawing seen whole) need one ring there.
  const int width = g.device() ? g.device()->width() : 0, height = g.device() ? g.device()->height() : 0;
  std::vector<std::uint8_t> ringed(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)));
  g.save();
  g.setRenderHint(QPainter::Antialiasing, false);
  g.setBrush(Qt::NoBrush);
  for (const CutMark& m : marks) {
    const int kind = m.error ? 1 : 0;
    if (m.boxed) {
      // A little outside the box, so that the drawing's own lines along
      // its edges stay in sight.
      g.setPen(QPen(colours[kind], 1));
      g.drawRect(QRect(QPoint(m.x0 - kFrameGap, m.y0 - kFrameGap), QPoint(m.x1 + kFrameGap, m.y1 + kFrameGap)));
    }
    if (m.x >= 0 && m.x < width && m.y >= 0 && m.y < height) {
      std::uint8_t& at = ringed[static_cast<std::size_t>(m.y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(m.x)];
      if (at & (1 << kind)) continue;
      at |= static_cast<std::uint8_t>(1 << kind);
    }
    g.drawImage(m.x - kCentre, m.y - kCentre, rings[kind]);
  }
  g.restore();
}

}  // namespace vestrel
