// The reader's working state, shared by the files that make up processdxf:
// the walk over the pairs, the sections and tables (processdxf.cpp) and the
// entity branches.
#pragma once

#include <cstdint>
#include <string_view>

#include "document/drawing.h"

namespace vestrel::reader {

// The entity kinds that become display-list entries.
enum class Kind : std::uint8_t {
  VIEWPORT, POLYLINE, DIMENSION, RAY, XLINE, LINE, LWPOLYLINE, LEADER, HATCH, WIPEOUT,
  SOLID, POINT, SPLINE, ARC, CIRCLE, ELLIPSE, TEXT, MTEXT, INSERT,
  None,  // anything else: stepped over
};
inline constexpr int kKindCount = static_cast<int>(Kind::None);

Kind KindOf(std::string_view value);
const char* KindName(Kind k);

class Reader {
 public:
  explicit Reader(Drawing& d) : d_(d), dxf_(d.dxf), n_(d.dxf.size()) {}
  void run();

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
  }

  // --- sections, tables, blocks, layouts ------------------------------------
  void reset();
  void readTable();
  void readBlockHeader();
  void readLayout();
  void refreshLists();

  // --- entities ------------------------------------------------------------
  void readEntity(Kind kind);
  void skipObject();
  tpoly& beginEntity(Kind kind);
  bool commonGroup(tpoly& p, Kind kind);
  void finishEntity(tpoly& p, bool terminated);

  Drawing& d_;
  const LineList& dxf_;
  const std::size_t n_;

  std::size_t pos_ = 0;      // next line to read
  std::size_t codepos_ = 0;  // code line of the current pair
  std::string_view code_, value_;
  int group_ = kNoGroup;
  bool reuse_ = false;
  bool handseedNameJustRead_ = false;

  bool expectingSectionName_ = false;
  bool inEntities_ = false, inBlocks_ = false, inTables_ = false, inObjects_ = false;
  bool inBlock_ = false;
  bool inHandseed_ = false, inAcadver_ = false;

  // From the last BLOCK header; kept until the next one.
  std::string blockName_;
  Handle blockOwner_ = 0;
  double blockBaseX_ = 0, blockBaseY_ = 0, blockBaseZ_ = 0;
};

}  // namespace vestrel::reader
