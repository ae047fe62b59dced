// How new items reach the drawing: a writer builds their lines in a list,
// changing nothing of the drawing; its caller then splices the list in at
// its insertion line as one undo step, with the handle seed advanced, and
// parses the drawing once. One user action is one list: several items
// built into it (a line and its arrow head, a dimension's lines and text)
// go in as one step. Telling the user and painting is the caller's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "document/drawing.h"
#include "file/context.h"

namespace vestrel {

// What came of a writer's work: Inserted when it added its lines to the
// list (and of the insertion, when they went into the drawing).
enum class InsertResult {
  Inserted,
  NothingToWrite,    // nothing could be made of the values (points on one line, no such table)
  NoInsertionPoint,  // the drawing has no place for it
  InvalidValue,      // a number that is not finite
  NoHandleLeft,      // every handle the drawing can name is taken
  NotInThisVersion,  // the drawing's version cannot hold a spline
  ControlCharacter,  // a typed text holds a control character no line of the file may hold
};

// Numbers as every writer and every edit writes them: at most 15
// significant digits, "." as decimal separator, the shortest form; what
// that would write with an exponent is written in fixed point with 18
// decimals instead (1E-5 as "0.000010000000000000").
std::string FloatToDxf(double value);

// Upper-case hexadecimal, at least two digits: "05", "1F", "1A3".
std::string HandleText(Handle h);

// A new handle: one above `maxhandle` and above every handle this session
// has written (an undone one is not given out again). None when the last
// handle of all is reached: the seed after it could not be written.
// For copies made by the edits; writers count theirs in CodeLines.
std::optional<Handle> IssueHandle(DocumentContext& c);

// Where new objects of tab `tab` go in: the "0" line of the ENDBLK of the
// layout's own block, or of the ENDSEC of the ENTITIES section; -1 when
// there is no such place.
std::int32_t InsertionLine(const Drawing& d, int tab);

// Whether a new entity of tab `tab` has a place to go.
inline bool HasInsertionPoint(const Drawing& d, int tab) { return InsertionLine(d, tab) >= 0; }

// The lines of new items, built before they go into the drawing, for the
// tab shown: where they go in, the handles and viewport identifiers they
// take are worked out from the drawing as it stands, which nothing here
// changes. A number that is not finite, or a handle beyond the last one
// there is, makes the list unfit: it is then not inserted.
class CodeLines {
 public:
  // New objects of the tab shown in `c`, going in at its InsertionLine.
  explicit CodeLines(const DocumentContext& c);

  void add(std::string_view code, std::string_view value);
  void add(std::string_view code, double value);
  void add(std::string_view code, int value);
  // "  5" and a new handle: one above `maxhandle` and above every handle
  // this session has written and every one this list took before (an
  // undone one is not given out again). The last handle of all is not
  // given out: the seed after it could not be written.
  void addHandle();
  // The identifier of a new viewport: one above the largest there is, and
  // above those this list took before.
  std::int32_t newViewportId() { return ++viewportId_; }
  // The lines go in at `line` instead (the end of a table).
  void insertAt(std::int32_t line) { at_ = line; }

  const Drawing& drawing() const { return *d_; }
  int tab() const { return tab_; }
  std::int32_t at() const { return at_; }
  bool valid() const { return valid_; }
  bool handlesLeft() const { return handlesLeft_; }
  const std::vector<std::string>& lines() const { return lines_; }
  // The last handle and viewport identifier taken; the drawing's own
  // while none was.
  bool tookHandles() const { return handleTaken_; }
  Handle lastHandle() const { return handle_; }
  std::int32_t lastViewportId() const { return viewportId_; }

 private:
  const Drawing* d_;
  int tab_;
  std::int32_t at_;
  Handle handle_;
  bool handleTaken_ = false;
  std::int32_t viewportId_;
  std::vector<std::string> lines_;
  bool valid_ = true;
  bool handlesLeft_ = true;
};

// What a new object takes from the header. Its layer: the one $CLAYER
// names when it is a layer of the table, else the first layer of the
// table, or "0".
std::string NewObjectLayer(const Drawing& d);
// Its colour, line type and line weight of its own, where the current one
// ($CECOLOR, $CELTYPE, $CELWEIGHT) is not "by layer": nothing when it is,
// or when the header has none, or names what the drawing cannot hold (a
// line type not in the table, a weight in a drawing without weights).
std::optional<std::int32_t> NewObjectColor(const Drawing& d);
std::string NewObjectLineType(const Drawing& d);
std::optional<std::int32_t> NewObjectLineWeight(const Drawing& d);

// The owner line of a new entity for the tab of `lines` ("330" and the
// layout's block record). True when the tab is paper space: the entity
// then carries " 67" "1" after its "AcDbEntity" marker.
bool AddToLayout(CodeLines& lines);

// Splices the lines in at their insertion line as one undo step, makes
// their handles and viewport identifiers the drawing's largest, advances
// $HANDSEED past `maxhandle` and marks the drawing changed. Refuses,
// without any change, a list that is empty (NothingToWrite) or not valid,
// or a drawing that has no place for it.
InsertResult InsertCode(DocumentContext& c, const CodeLines& lines);

// Objects replaced by new ones as one undo step: the lines of `erase`
// (first and last line of each, none overlapping) go, and the list's lines
// go in, its pieces (each a count of its lines, in order) at the places
// `at` names (each a line of the drawing as it is: the first line of one
// that goes puts the new lines where it was). The handles and seed are
// dealt with as by InsertCode. Refuses, without any change, what
// InsertCode refuses.
InsertResult ReplaceCode(DocumentContext& c, std::vector<std::pair<std::int32_t, std::int32_t>> erase,
                         const CodeLines& lines, const std::vector<std::pair<std::int32_t, std::int32_t>>& at);

// What the caller of writers does with their lines: InsertCode, then one
// parse of the drawing when they went in.
InsertResult InsertAndParse(DocumentContext& c, const CodeLines& lines);

// One item as one step: the lines `writer` builds of `values`, inserted
// and parsed; what the writer refuses leaves the drawing as it was.
template <class... Args>
InsertResult Write(DocumentContext& c, InsertResult (*writer)(CodeLines&, Args...), std::type_identity_t<Args>... values) {
  CodeLines lines(c);
  const InsertResult r = writer(lines, values...);
  return r == InsertResult::Inserted ? InsertAndParse(c, lines) : r;
}

}  // namespace vestrel
