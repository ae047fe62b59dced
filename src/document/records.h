// The records the reader builds from the line list: display-list entries and
// their points, layers, line types, blocks, layouts; and the records of the
// undo journal.
//
// Everything here is derived from the text and rebuilt by every parse. Line
// numbers are 0-based indexes into the line list; a line-number field the
// reader did not set holds 0, so 0 means "no such line" only together with
// the matching presence flag.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "geometry/point.h"

namespace vestrel {

// Handles are hexadecimal in the text and 64 bits wide here: real drawings
// carry handles beyond 32 bits, and a handle must never be issued twice.
using Handle = std::uint64_t;

// The kinds of object that become display-list entries.
enum class Kind : std::uint8_t {
  VIEWPORT, POLYLINE, DIMENSION, RAY, XLINE, LINE, LWPOLYLINE, LEADER, HATCH, WIPEOUT,
  SOLID, POINT, SPLINE, ARC, CIRCLE, ELLIPSE, TEXT, MTEXT, INSERT,
  ATTRIB,  // the value of an attribute that follows its INSERT
  MULTILEADER,
  None,    // anything else: stepped over
};

// The table of records that holds what an entry has beyond the common
// fields.
enum class ExtraKind : std::uint8_t { None, Text, Dimension, Viewport, Insert, Hatch, Ellipse };

// One point of a display-list entry.
struct Tmypoi {
  double x = 0, y = 0, z = 0;
  // The width of the segment that ends here: at its start and at this end
  // (the widths a polyline gives at its previous vertex).
  float startwid = 0, wid = 0;
  // Line numbers of the value lines of x, y, z (0: computed point). For a
  // grip, linex is the line the grip edits (radius, angle, ratio, height).
  std::int32_t linex = 0, liney = 0, linez = 0;
  std::uint8_t botharrows : 2 = 0;  // 3: the segment ending here has arrows at both ends
  std::uint8_t mode : 2 = 0;        // 0 vertex/centre, 1 radius, 2 minor axis, 3 end angle
  bool setwid : 1 = false;          // a width group came before this vertex
  bool doadddimtexthere : 1 = false;
  bool moveonly : 1 = false;        // the segment ending here is not drawn
  bool donotdraw : 1 = false;       // grip or centre, not part of the outline
};

// One display-list entry: one drawable object of the drawing.
//
// Its points are not held here but in the drawing's point pool, or made
// when asked (see `outline` and Drawing::ps); names and other texts that are plain value lines are read
// from the line list through their line numbers (Drawing::layer, ...).
struct tpoly {
  std::uint32_t psfrom = 0;    // first point in the drawing's point pool
  std::int32_t anzp = 0;       // number of points, those made when asked included
  std::uint32_t snapfrom = 0;  // first extra snap point in the snap pool
  std::int32_t anzs = 0;       // number of extra snap points

  std::int32_t linefrom = 0;  // the "0" code line that starts the object
  std::int32_t linebis = 0;   // the object's last line

  Handle han = 0;     // last group 5 of the object
  Handle layhan = 0;  // last group 330 (owner); block members start with the block's owner

  std::int32_t layerlinenr = 0;
  std::int32_t ltnamelinenr = 0;
  std::int32_t colorlinenr = 0;
  std::int32_t colornr = 0;
  std::uint32_t truecolor = 0;  // group 420: 0xRRGGBB, over the colour number
  std::int32_t lineweightlinenr = 0;
  std::int32_t lineweight = 0;
  std::int32_t winkel1linenr = 0;
  std::int32_t winkel2linenr = 0;
  std::int32_t radiuslinenr = 0;
  std::int32_t insertstrlinenr = 0;  // INSERT: value line of the block name (group 2)
  std::int32_t block = -1;           // index of the enclosing block in Drawing::blocks, -1 outside
  std::int8_t addtextmode = 0;
  // The last `outline` of its anzp points are not in the pool: an ARC's
  // or CIRCLE's outline in the plan is made from its centre, radius and
  // angles, an ELLIPSE's from its axes, whenever it is asked for
  // (Drawing::ps), the same to the last bit as if it were kept. 0: all its
  // points are in the pool.
  std::uint8_t outline = 0;
  // Which table of the drawing holds what the entry has beyond the common
  // fields (see `extra`).
  ExtraKind extrakind = ExtraKind::None;
  Kind kind = Kind::None;  // what the object is

  bool linweightpresent : 1 = false;
  bool layerpresent : 1 = false;
  bool ltnamepresent : 1 = false;
  bool insertstrpresent : 1 = false;
  bool issheet : 1 = false;  // a viewport that is the layout's own paper view: no frame, no model
  bool ispaperspace : 1 = false;
  bool locked : 1 = false;
  bool setwidonce : 1 = false;
  bool linweighttpolypresent : 1 = false;
  bool arrowhead : 1 = false;
  bool colorispresent : 1 = false;
  bool truecolorpresent : 1 = false;
  bool needext210 : 1 = false;
  bool needext220 : 1 = false;
  bool needext230 : 1 = false;
  bool isblock : 1 = false;
  bool massselected : 1 = false;
  bool selected : 1 = false;
  bool isclosed : 1 = false;

  // What the kind makes of the object.
  bool istext() const { return kind == Kind::TEXT || kind == Kind::ATTRIB || ismtext(); }
  bool ismtext() const { return kind == Kind::MTEXT || ismleader(); }  // a multi-line text
  bool ismleader() const { return kind == Kind::MULTILEADER; }  // leader lines and a multi-line text
  bool isviewport() const { return kind == Kind::VIEWPORT; }
  bool iswipeout() const { return kind == Kind::WIPEOUT; }
  bool ispoint() const { return kind == Kind::POINT; }
  bool issolid() const { return kind == Kind::SOLID || patternfill(); }  // filled
  bool patternfill() const { return kind == Kind::HATCH; }
  bool ray() const { return kind == Kind::RAY; }
  bool xline() const { return kind == Kind::XLINE; }
  // How many of its points the pool holds.
  std::size_t stored() const { return static_cast<std::size_t>(anzp - outline); }

  // What only texts, dimensions, viewports, inserts, hatches or ellipses
  // have: the index of their record in the drawing's table of that kind
  // (TextData, DimensionData, ViewportData, InsertData, HatchData,
  // EllipseData).
  std::int32_t extra = -1;
  // The entry's layer: its slot in Drawing::layers, the first of the name
  // its group 8 gives; -1 when it gives none, an empty one, or one the
  // table does not have. Resolved by the reader.
  std::int32_t layerindex = -1;

  double thewid = 0;
  double radius1 = 0;  // ELLIPSE: the length of its major axis
  double cx = 0, cy = 0, cz = 0;
  double radius = 0;
  double arcfrom = 0, arcto = 0;  // ARC, CIRCLE: start and end angle in degrees, the end after the start
  // The box around all points (x and y), for skipping what lies off screen:
  // each edge the float next outwards of the points' own.
  float boxminx = 0, boxminy = 0, boxmaxx = 0, boxmaxy = 0;
};

// What an ELLIPSE has beside the common fields: what its outline is made
// of, all in the world.
struct EllipseData {
  Point3 centre;
  Point3 major;               // from the centre to the end of the major axis
  Point3 minor;               // the major axis turned a quarter about the extrusion, times the ratio
  double start = 0, end = 0;  // parameters in radians, the end after the start

  // The point of parameter t, given its cosine and sine.
  Point3 at(double cost, double sint) const {
    return {centre.x + major.x * cost + minor.x * sint, centre.y + major.y * cost + minor.y * sint,
            centre.z + major.z * cost + minor.z * sint};
  }
};

// The points of an ARC's, CIRCLE's or ELLIPSE's outline: how many, and the
// points themselves after its stored ones (centre and grips), written to
// `out`. Every parse and every view of the entry makes them here; `e` is
// the ellipse's record.
int OutlinePoints(const tpoly& p, const EllipseData& e);
void MakeOutline(const tpoly& p, const EllipseData& e, Tmypoi* out);

// The points of one entry (Drawing::ps): a view of the pool, or, for an
// entry whose outline is made when asked, a copy of its stored points with
// the outline after them. Either way one array, valid while this lives; an
// element asked of a temporary comes back as a copy.
class EntryPoints {
 public:
  // An arc: centre, two angle grips, 65 outline points; an ellipse: centre,
  // two axis grips, 65 outline points.
  static constexpr std::size_t kMost = 68;

  explicit EntryPoints(std::span<const Tmypoi> pool) : data_(pool.data()), size_(pool.size()) {}
  // The entry `p` whose points the pool holds are `stored`; `e` is its
  // record when it is an ellipse.
  EntryPoints(std::span<const Tmypoi> stored, const tpoly& p, const EllipseData& e) : EntryPoints(stored) {
    if (p.outline == 0) return;
    data_ = made(), size_ = stored.size() + p.outline;
    if (size_ > kMost) size_ = stored.size() > kMost ? 0 : stored.size();  // never more than it has room for
    std::memcpy(static_cast<void*>(made()), stored.data(), std::min(stored.size(), size_) * sizeof(Tmypoi));
    if (size_ > stored.size()) MakeOutline(p, e, made() + stored.size());
  }
  EntryPoints(const EntryPoints& o) : data_(o.data_), size_(o.size_) {
    if (o.data_ == o.made()) data_ = made(), std::memcpy(static_cast<void*>(made()), o.data_, size_ * sizeof(Tmypoi));
  }
  EntryPoints& operator=(const EntryPoints&) = delete;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Tmypoi* data() const& { return data_; }
  const Tmypoi* begin() const& { return data_; }
  const Tmypoi* end() const& { return data_ + size_; }
  const Tmypoi& operator[](std::size_t i) const& { return data_[i]; }
  Tmypoi operator[](std::size_t i) && { return data_[i]; }
  const Tmypoi& front() const& { return data_[0]; }
  Tmypoi front() && { return data_[0]; }
  const Tmypoi& back() const& { return data_[size_ - 1]; }
  Tmypoi back() && { return data_[size_ - 1]; }
  std::span<const Tmypoi> span() const& { return {data_, size_}; }
  void data() && = delete;
  void begin() && = delete;
  void end() && = delete;
  void span() && = delete;

 private:
  Tmypoi* made() { return reinterpret_cast<Tmypoi*>(made_); }
  const Tmypoi* made() const { return reinterpret_cast<const Tmypoi*>(made_); }
  const Tmypoi* data_;
  std::size_t size_;
  alignas(Tmypoi) unsigned char made_[kMost * sizeof(Tmypoi)];
};

// What a TEXT, MTEXT or ATTRIB has beside the common fields. Its height
// (group 40, the height of a capital letter) is the entry's radius, its
// insertion point (group 10) the entry's first point.
struct TextData {
  std::string textstr;  // all groups 1 and 3
  double rotation = 0;  // degrees
  double oblique = 0;   // group 51, degrees
  double widthFactor = 1;  // TEXT group 41: how wide the letters are
  double boxWidth = 0;     // MTEXT group 41: the width it wraps at; 0 none
  double lineSpacing = 1;  // MTEXT group 44: times the usual distance of lines
  std::int32_t halign = 0;  // TEXT group 72: 0 left, 1 centre, 2 right, 3 aligned, 4 middle, 5 fit
  std::int32_t valign = 0;  // TEXT group 73 (ATTRIB 74): 0 baseline, 1 bottom, 2 middle, 3 top
  std::int32_t attachment = 1;  // MTEXT group 71: 1 top left, 2 top centre, ... 9 bottom right
  std::int32_t generation = 0;  // TEXT group 71: 2 mirrored left to right, 4 upside down
  bool invisible = false;       // ATTRIB group 70 flag 1: not shown
  bool alignSeen = false;       // TEXT: groups 11/21/31 were read
  double alignx = 0, aligny = 0, alignz = 0;  // TEXT: the second alignment point, in the world
  // The world directions of the text's baseline and of its upright, each
  // of unit length (but for what an extrusion tilts out of the plan).
  double xdirx = 1, xdiry = 0, ydirx = 0, ydiry = 1;
  double arrowSize = 0;  // a multileader's: the length of its arrow heads
};

// What a DIMENSION has beside the common fields.
struct DimensionData {
  std::int32_t dimtyp = 0;  // group 70 as read: the low 3 bits say which kind
  double cx1 = 0, cy1 = 0, cz1 = 0;  // groups 11/21/31: the text's middle
  double cx3 = 0, cy3 = 0, cz3 = 0;
  double cx4 = 0, cy4 = 0, cz4 = 0;
  double cx5 = 0, cy5 = 0, cz5 = 0;
  double cx6 = 0, cy6 = 0, cz6 = 0;
  double dimtextrotate = 0;
  double messuare = 0;      // group 42, the measurement as read
  std::string messuaretxt;  // group 42 as fixed-point text, 4 decimals
  std::string textstr;      // group 1: the text that replaces the measurement
  // Group 2: the block that draws the dimension, as the program that made
  // it drew it (-1: none named); groups 12/22/32, in the world: where that
  // block is moved to (copies of a dimension share one block).
  std::int32_t blocklinenr = -1;
  double insx = 0, insy = 0, insz = 0;
};

// What an INSERT has beside the common fields: how it places its block.
struct InsertData {
  double sx = 1, sy = 1, sz = 1;  // groups 41, 42, 43: scale; negative mirrors
  double rotation = 0;            // group 50, degrees
  std::int32_t columns = 1, rows = 1;  // groups 70, 71: an array of copies
  double colspacing = 0, rowspacing = 0;  // groups 44, 45
  double ex = 0, ey = 0, ez = 1;  // groups 210, 220, 230: the extrusion
};

// One family of parallel lines of a hatch pattern, in the hatch's own
// plane and already scaled and turned by the hatch's scale and angle: the
// line through the base point at the angle, and one more every offset (each
// line the one before moved by it), each drawn with the dashes from where
// its base point lands.
struct HatchLine {
  double angle = 0;                 // group 53, degrees
  double basex = 0, basey = 0;      // groups 43, 44
  double offsetx = 0, offsety = 0;  // groups 45, 46
  std::uint32_t dashfrom = 0;       // its first dash in Drawing::hatchdashes
  std::int32_t dashes = 0;          // groups 49 read: > 0 dash, < 0 gap, 0 dot; none: a solid line
};

// What a HATCH has beside the common fields; its loops are the entry's
// points, each loop closed and begun by a point marked moveonly.
struct HatchData {
  bool solid = false;     // group 70 flag 1 or the pattern SOLID: filled with its colour
  bool gradient = false;  // group 450 not 0: filled with the gradient's first colour
  std::int32_t gradientRgb = -1;  // the first group 421 of the gradient, 0xRRGGBB; -1 none
  std::int32_t gradientAci = -1;  // the first group 63 of the gradient; -1 none
  double elevation = 0;           // the boundary's height in its plane (the 30 before the paths)
  double nx = 0, ny = 0, nz = 1;  // groups 210, 220, 230: the plane's normal
  std::uint32_t linefrom = 0;     // its first pattern line in Drawing::hatchlines
  std::int32_t lines = 0;         // pattern lines read (groups 53)
};

// What a VIEWPORT has beside the common fields.
struct ViewportData {
  std::int32_t id = 0;    // group 69: 1 the layout's own paper view
  double viewheight = 0;  // model units shown over its height
  double panx = 0, pany = 0;  // the model point at its centre
  double widx = 0, widy = 0;  // its size on the sheet
  bool off = false;  // switched off (status 0, flag 0x20000, or id -1 with no status): its frame only
};

// One entry of the LAYER table. The slots of the layer array outlive a
// parse: a new entry only clears colorpresent and linweightpresent, every
// other field keeps what the slot held until its group is read.
struct TLayer {
  std::string newltname;  // staging values of the layer manager
  std::string name;
  std::string ltname;
  std::int32_t ltnamelinenr = 0;
  std::int32_t newlineweight = 0;
  std::int32_t newflag = 0;
  std::int32_t flaglinenr = 0;
  std::int32_t lineweightlinenr = 0;
  std::int32_t lineweight = 0;
  std::int32_t newcolornr = 0;
  std::int32_t colorlinenr = 0;
  std::int32_t colornr = 0;
  std::int32_t plotflag = 0;
  std::int32_t flag = 0;
  bool ltnamepresent = false;
  bool flagpresent = false;
  bool linweightpresent = false;
  bool colorpresent = false;
};

// One entry of the LTYPE table.
struct TLineType {
  std::string name;
  std::string desc;          // shown to the user
  std::vector<float> parts;  // group 49: > 0 dash, < 0 gap, 0 dot
};

// One block definition.
struct tblock {
  std::string blockname;        // group 3 of the BLOCK header
  std::int32_t linetoinsert = 0;  // the "0" code line of its ENDBLK
  Handle hand = 0;              // group 330 of the header: its block record
  double basex = 0, basey = 0, basez = 0;  // base point, groups 10/20/30
};

// One layout: one tab.
struct Tlayout {
  std::string name;  // group 1; "Model" is model space
  std::int32_t scrollxvalue = 0, scrollyvalue = 0;
  std::int32_t order = 0;  // group 71
  Handle layhan = 0;       // last group 330: its block record
  double zoomvalue = 0;
  double eminx = 0, eminy = 0, eminz = 0;
  double emaxx = 0, emaxy = 0, emaxz = 0;
  double lminx = 0, lminy = 0, lminz = 0;
  double lmaxx = 0, lmaxy = 0, lmaxz = 0;
  bool zoomsetted = false;
  // Its plot settings: what paper it is drawn on.
  bool plotsettings = false;           // the layout has them (subclass AcDbPlotSettings or a paper size)
  double paperwidth = 0, paperheight = 0;  // groups 44, 45: the paper in millimetres, unturned
  double marginleft = 0, marginbottom = 0, marginright = 0, margintop = 0;  // groups 40 to 43, millimetres
  std::int32_t paperunits = 1;         // group 72: 0 inches, 1 millimetres, 2 pixels
  std::int32_t plotrotation = 0;       // group 73: 0, 1 (90° anticlockwise), 2 (180°), 3 (90° clockwise)
  double scalenumerator = 1, scaledenominator = 1;  // groups 142, 143: paper units per drawing unit
};

// One line-level edit of an undo step.
struct taction {
  std::int32_t typ = 0;  // 0 lines inserted, 1 lines deleted (texts in ustrs), 2 line overwritten
  std::int32_t start = 0;
  std::int32_t len = 0;
  std::int32_t dest = 0;
  std::vector<std::string> ustrs;
};

// One undo step: the splices of one operation, in the order they were made.
struct tundo {
  std::vector<taction> actions;
};

}  // namespace vestrel
