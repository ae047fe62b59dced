// Layers and line types as the layer manager and the line-style dialog
// offer them: the layer list and what its rows write back, what the
// new-layer dialog proposes, and whether a name given will do.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "file/context.h"
#include "i18n/msg.h"
#include "platform/dialogs.h"

namespace vestrel {

// The layer dialog as it opens: a row for every layer of the table, its
// texts taken from `message` (the colour names 14 to 22, "Unsichtbar" 23,
// "Sichtbar" 24, "Gesperrt" 25, "Entsperrt" 26 in the language in force).
LayerDialogValues ProposeLayers(const Drawing& d, const std::function<std::string(int)>& message);

// The rows as the dialog left them, written into the LAYER table: colour
// (negative when switched off), lock flag, line type and weight, each where
// it changed and the layer has its line; no line is added there. The row
// made current becomes $CLAYER where new objects went elsewhere. One step;
// false, and no step, when no line changed.
bool WriteLayers(DocumentContext& c, const LayerDialogValues& v);

// The lengths of a pattern typed one a line, "," or "." as decimal
// separator; lines that are no number are left out.
std::vector<double> LineStylePattern(std::string_view memo);

// Why a new line type of the dialog's name and description (UTF-8) and
// this pattern cannot be added: 0 when it can, msg::NoLineTypeName for a
// blank name, msg::NoLengths for an empty pattern, msg::LineTypeExists when
// one of that name exists (case and blanks around it do not count),
// msg::BadLineTypeName for a name that no name may be (IsValidName),
// msg::ControlCharacter for a description holding a control character.
int NewLineStyleProblem(const Drawing& d, const LineStyleDialogValues& v, const std::vector<double>& parts);

// The new-layer dialog as it is shown: the drawing's line types but
// "ByLayer" and "ByBlock" (decoded for showing), and every list on its
// first entry. The name stays as it was last typed.
void ProposeNewLayer(const Drawing& d, NewLayerDialogValues& values);

// Why `name` (UTF-8, as typed) cannot be a new layer's name: 0 when it can,
// msg::NoLayerName when it is empty or blank, msg::LayerExists when a layer
// of that name exists (blanks around either name and the letter case do not
// count), msg::BadLayerName when it holds characters no layer name may hold
// (IsValidName).
int NewLayerNameProblem(const Drawing& d, std::string_view name);

}  // namespace vestrel
