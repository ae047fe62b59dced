// The property boxes and the text edit applied to the selected objects of
// the shown tab. Each call is one undo step, kept even when no object was
// taken; the drawing is parsed again when one was.
#pragma once

#include <string>
#include <string_view>

#include "file/context.h"

namespace vestrel {

// Whether an object of the shown tab is selected: the boxes act on the
// selection then, and else set what new objects take.
bool AnySelected(const DocumentContext& c);

// The header variable `id` (what new objects take) set to `value` within
// `step`: overwritten where the header has it, else added at the end of the
// header, and the header made when the drawing has none. False, and no
// line changed, when it holds that value already.
bool SetHeaderVariable(ChangeStep& step, const Drawing& d, current::Id id, std::string_view value);
// The same as one step of its own, the drawing parsed again; no step when
// nothing changes.
void SetCurrentProperty(DocumentContext& c, current::Id id, std::string_view value);

// Colour number `color` (256 "by layer", 0 "by block", 1 ... 255); a true
// colour the object had goes, so that the chosen colour shows.
void SetColorForObjects(DocumentContext& c, int color);
void SetLineTypeForObjects(DocumentContext& c, std::string_view name);
void SetLayerForObjects(DocumentContext& c, std::string_view name);
// Line weight `weight` in hundredths of a millimetre as written ("25");
// a negative one ("-3", by layer) takes the objects' own weights out.
// False, and nothing done, in a drawing without line weights (R12).
bool SetLeineWeightForObjects(DocumentContext& c, std::string_view weight);

// The text of text entry `i` as the text dialog shows it: its lines in
// UTF-8, separated by "\n", its carets read (CaretDecoded).
std::string TextForEditing(const Drawing& d, int i);

struct TextChange {
  bool changed = false;
  bool firstLineOnly = false;     // a single-line text kept the memo's first line
  bool controlCharacter = false;  // refused, as TextOfMemo refuses it
};
// Text entry `i` (a text, multi-line text or attribute that is selected)
// takes the memo as its content; its place, height and angle stay. An
// empty memo changes nothing, nor does one that TextOfMemo refuses.
TextChange ChangeText(DocumentContext& c, int i, std::string_view memo);

}  // namespace vestrel
