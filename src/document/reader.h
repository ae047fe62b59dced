// The reader's working state, shared by the files that make up processdxf:
// the walk over the pairs, the sections and tables (processdxf.cpp) and the
// entity branches.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/drawing.h"
#include "document/grammar.h"
#include "document/hatch.h"
#include "document/splineahead.h"
#include "geometry/point.h"

namespace vestrel::reader {

struct Region;

class Reader {
 public:
  // `ahead`: the splines flattened ahead of the reader, when they are.
  explicit Reader(Drawing& d, SplinesAhead* ahead = nullptr) : d_(d), dxf_(d.dxf), n_(d.dxf.size()), ahead_(ahead) {}
  void run();
  // Reads again only what the line list's changes touched (reparse.cpp);
  // false, with the display list to be read in full, when that cannot give
  // what a full reading gives. `before` is the parse the list came from.
  bool reparse(std::uint64_t before);

 private:
  // --- pairs -------------------------------------------------------------
  // The list is at its end when no full pair can start at the read
  // position; the last line of the list is therefore never read as a code.
  bool atEnd() const { return pos_ + 1 >= n_; }
  std::string_view readLine() { return atEnd() ? std::string_view{} : dxf_[pos_++]; }
  void readPair();
  bool isZero() const { return group_ == 0; }
  bool is(int group, std::string_view value) const { return group_ == group && value_ == value; }
  // Line number of the current pair's value line.
  std::int32_t valueLine() const { return static_cast<std::int32_t>(codepos_ + 1); }
  std::int32_t codeLine() const { return static_cast<std::int32_t>(codepos_); }
  void raiseMaxHandle(Handle h) {
    if (h > d_.maxhandle) d_.maxhandle = h;
    if (h > *handles_) *handles_ = h;
  }

  // Reads the objects the runs of changed lines touch again, appending
  // their entries; false when that cannot give what a full reading gives.
  bool readAgain(const std::vector<LineChanges::Run>& runs, std::vector<Region>& regions);

  // --- sections, tables, blocks, layouts ------------------------------------
  void reset();
  void readTable();
  void readBlockHeader();
  void readLayout();
  void sortLayouts();

  // --- entities ------------------------------------------------------------
  void readEntity(Kind kind);
  void skipObject();
  tpoly& beginEntity(Kind kind);
  bool commonGroup(tpoly& p, Kind kind);
  void finishEntity(tpoly& p, bool terminated);

  // The current object's points live at the end of the point pool.
  Tmypoi& addPoint(tpoly& p);
  Tmypoi& addPoint(tpoly& p, double x, double y, double z);
  Tmypoi* lastPoint(tpoly& p) { return p.anzp > 0 ? &d_.points.back() : nullptr; }
  // A point of the file: the value as its x, with the line it stands on
  // (nothing when the value is no number); then its y and z.
  Tmypoi* filePoint(tpoly& p);
  void fileY(Tmypoi* last);
  void fileZ(Tmypoi* last);
  // Groups 210, 220, 230: the extrusion of ellipses and texts.
  void extrusion(tpoly& p);
  void addSnap(tpoly& p, double x, double y, double z);
  bool real(double& field) const;  // the value, when it parses
  std::int32_t intValue(std::int32_t previous) const;

  // Lines, polylines, arcs and areas.
  void lineGroup(tpoly& p);
  void polylineGroup(tpoly& p);
  void arcGroup(tpoly& p);
  void ellipseGroup(tpoly& p);
  void solidGroup(tpoly& p);
  void wipeoutGroup(tpoly& p);
  void finishLine(tpoly& p, Kind kind);
  void finishArc(tpoly& p, Kind kind);
  void finishEllipse(tpoly& p);
  // The outline of the arc, circle or ellipse just finished: counted and
  // `made` when asked for, or written to the pool now.
  void addOutline(tpoly& p, bool made);
  void finishSolid(tpoly& p);
  void finishWipeout(tpoly& p);
  // Group 42: the bulge of the segment from the last point on.
  void readBulge(tpoly& p);
  void bulgeArcs(tpoly& p);

  // Viewports, splines, texts, inserts and dimensions.
  void viewportGroup(tpoly& p);
  void splineGroup(tpoly& p);
  void textGroup(tpoly& p, Kind kind);
  void insertGroup(tpoly& p);
  void dimensionGroup(tpoly& p);
  void finishViewport(tpoly& p);
  void finishSpline(tpoly& p);
  void finishText(tpoly& p);
  void finishDimension(tpoly& p);
  // Multileaders: their leaders, each of lines from an arrow head to the
  // leader's end, and their text.
  void mleaderGroup(tpoly& p);
  void finishMLeader(tpoly& p);

  // The points of a planar kind from its object coordinate system into
  // the world's.
  // Whether the object's points are the world's already: toWorld leaves
  // them as they are.
  bool inPlan(Kind kind) const;
  void toWorld(tpoly& p, Kind kind);
  // Infinite or undefined numbers that the geometry of extreme input made
  // never reach the display list.
  void keepFinite(tpoly& p);

  Drawing& d_;
  const LineList& dxf_;
  const std::size_t n_;

  std::size_t pos_ = 0;      // next line to read
  std::size_t codepos_ = 0;  // code line of the current pair
  std::string_view code_, value_;
  int group_ = kNoGroup;
  bool reuse_ = false;
  bool handseedNameJustRead_ = false;
  bool pairCounted_ = false;  // the current pair's value counts as a handle

  // What the parse record keeps: the handles read outside entries and in
  // the entry being read, what $HANDSEED adds, where the tables end.
  Handle outside_ = 0, entryHandles_ = 0;
  Handle* handles_ = &outside_;
  Handle seed_ = 0;
  bool seedPaired_ = false;
  std::int32_t tablesEnd_ = -1;
  std::uint8_t sections() const;

  bool expectingSectionName_ = false;
  bool inEntities_ = false, inBlocks_ = false, inTables_ = false, inObjects_ = false;
  bool inBlock_ = false;
  bool inHandseed_ = false, inAcadver_ = false, inHeader_ = false;
  int inCurrent_ = -1;  // which of the variables of Drawing::currentpos is being read

  // From the last BLOCK header; kept until the next one.
  std::string blockName_;
  Handle blockOwner_ = 0;
  double blockBaseX_ = 0, blockBaseY_ = 0, blockBaseZ_ = 0;
  // The block whose members are being read: its index in Drawing::blocks
  // (the last one read, but when a block's members are read again).
  std::int32_t block_ = -1;

  // The last width (group 40 or 41) read, and the last start width (group
  // 40); not reset between objects.
  double currentWidth_ = 0, startWidth_ = 0;
  // Groups 40 and 41 of polylines.
  void widthGroup();
  void vertexWidths(Tmypoi* q) const;

  // Working state of the object being read, reset when it begins.
  struct Object {
    bool widthSeen = false;
    bool inHeader = true;    // POLYLINE: before its first VERTEX
    bool inVertex = false;   // POLYLINE: after "0"/"VERTEX"
    bool ownerSeen = false;   // the owner (group 330) was read
    bool inBraces = false;    // inside a "102" {...} group
    double cx = 0, cy = 0, cz = 0;
    std::int32_t line10 = 0, line20 = 0, line30 = 0;
    double ax = 0, ay = 0, az = 0;  // ELLIPSE major axis; WIPEOUT u vector; TEXT direction
    std::int32_t line11 = 0, line21 = 0, line31 = 0;
    double vx = 0, vy = 0, vz = 0;  // WIPEOUT v vector
    double start = 0, end = 0;      // ARC angles, ELLIPSE parameters
    int count1040 = 0;              // VIEWPORT
    bool statusSeen = false;        // VIEWPORT: group 68
    std::int32_t status = 1;        // VIEWPORT: group 68, 0 off
    bool flagsSeen = false;         // VIEWPORT: group 90
    std::int32_t flags = 0;         // VIEWPORT: group 90, bit 0x20000 off
    std::int32_t line40 = 0, line41 = 0, line12 = 0, line22 = 0, lineHeight = 0;
    bool rotationFrom50 = true;      // TEXT, MTEXT
    bool embedded = false;           // ATTRIB: the multi-line text it carries begins
    // Groups 210/220/230: the extrusion, whose object coordinate system
    // holds the points of planar kinds; group 38 (or the polyline's own
    // 30): their height in it.
    Point3 normal{0, 0, 1};
    double elevation = 0;
    std::int32_t polylineFlags = 0;  // POLYLINE: the header's group 70
  } o_;
  // HATCH: its paths and pattern.
  HatchReader hatch_{d_};
  // SPLINE: its groups, kept for their capacity, and the splines
  // flattened ahead.
  SplineGroups spline_;
  SplinesAhead* ahead_;
  // MULTILEADER: where its groups stand (the nesting of its braces), and
  // its leaders.
  enum class LeaderPart : std::uint8_t { Main, Context, Leader, Line };
  LeaderPart leaderPart_ = LeaderPart::Main;
  struct Leader {
    Point3 end, dogleg{1, 0, 0};
    double doglegLength = 0;
    bool horizontal = true;  // the text is attached at its side, not above or below
    std::vector<std::vector<Point3>> lines;
  };
  std::vector<Leader> leaders_;
  struct {
    int type = 1;             // 0 no lines, 1 straight, 2 a spline
    bool dogleg = true;       // whether the leader's end has its horizontal piece
    Point3 textAt, textDirection{1, 0, 0}, textNormal{0, 0, 1};
    double scale = 1, width = 0;
  } mleader_;
  // The layers by name, the first slot of each name, for the entries'
  // layer indexes; built from the layer table as it stands when an entry
  // first asks (again when the table has grown since). `layersAsked_`: the
  // fewest layers an entry was resolved against.
  std::int32_t layerIndexOf(std::string_view name);
  void resolveLateLayers();
  std::unordered_map<std::string_view, std::int32_t> layerIndex_;
  std::int32_t layersMapped_ = -1;
  std::int32_t layersAsked_ = INT32_MAX;
  std::string_view lastLayerName_;
  std::int32_t lastLayerIndex_ = -1;
  // The last block reference read, which the attributes after it belong to.
  std::size_t lastInsert_ = SIZE_MAX;
  // The bulges of the current object's points, by index; none beyond.
  std::vector<double> bulges_;
  // Where each kind of the objects stepped over is counted.
  std::unordered_map<std::string_view, std::size_t> steppedIndex_;
};

}  // namespace vestrel::reader
