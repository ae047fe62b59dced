// Layers as the layer manager offers them: what the new-layer dialog
// proposes, and whether a name it was given will do.
#pragma once

#include <string_view>

#include "document/drawing.h"
#include "platform/dialogs.h"

namespace vestrel {

// Messages about a new layer's name.
inline constexpr int kMsgLayerExists = 27;
inline constexpr int kMsgNoLayerName = 28;
inline constexpr int kMsgBadLayerName = 42;

// The new-layer dialog as it is shown: the drawing's line types but
// "ByLayer" and "ByBlock" (decoded for showing), and every list on its
// first entry. The name stays as it was last typed.
void ProposeNewLayer(const Drawing& d, NewLayerDialogValues& values);

// Why `name` (UTF-8, as typed) cannot be a new layer's name: 0 when it can,
// kMsgNoLayerName when it is empty or blank, kMsgLayerExists when a layer
// of that name exists (blanks around either name and the letter case do not
// count), kMsgBadLayerName when it holds characters no layer name may hold
// (< > / \ " : ; ? * | , = ` and control characters) or that the
// drawing's encoding cannot store.
int NewLayerNameProblem(const Drawing& d, std::string_view name);

}  // namespace vestrel
