// How new items reach the drawing: their lines are built in a list, then
// spliced in at the insertion line as one undo step, with fresh handles and
// the handle seed advanced. Writers say what came of it; telling the user
// and painting is their caller's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/drawing.h"
#include "file/context.h"

namespace vestrel {

// What came of a writer's work.
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
std::optional<Handle> IssueHandle(DocumentContext& c);

// The lines of a new item, built before they go into the drawing. A number
// that is not finite, or a handle beyond the last one there is, makes the
// list unfit: it is then not inserted.
class CodeLines {
 public:
  void add(std::string_view code, std::string_view value);
  void add(std::string_view code, double value);
  void add(std::string_view code, int value);
  // "  5" and a new handle: one above `maxhandle` and above every handle
  // this session has written (an undone one is not given out again). The
  // last handle of all is not given out: the seed after it could not be
  // written.
  void addHandle(DocumentContext& c);

  bool valid() const { return valid_; }
  bool handlesLeft() const { return handlesLeft_; }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  bool valid_ = true;
  bool handlesLeft_ = true;
};

// The layer a new object is put on: the first layer of the table, or "0".
std::string NewObjectLayer(const Drawing& d);

// The owner line of a new entity for the tab that is shown ("330" and the
// layout's block record), moving the insertion line into the layout's block
// when the layout keeps its objects there. True when the tab is paper space:
// the entity then carries " 67" "1" after its "AcDbEntity" marker.
bool AddToLayout(DocumentContext& c, CodeLines& lines);

// Whether a new entity of tab `tab` has a place to go: the end of the
// layout's own block, or the end of the ENTITIES section.
bool HasInsertionPoint(const Drawing& d, int tab);

// Splices the lines in at `insertlinepos` as one undo step, advances
// $HANDSEED past `maxhandle` and marks the drawing changed. Refuses,
// without any change, a list that is not valid or a drawing that has no
// place for it.
InsertResult InsertCode(DocumentContext& c, const CodeLines& lines);

// What every writer does with its lines: InsertCode, then a parse of the
// drawing (also after a refusal, which may have moved the insertion line).
InsertResult InsertAndParse(DocumentContext& c, const CodeLines& lines);

}  // namespace vestrel
