// "Zerlegen" of block references, dimensions and hatches.
//
// A block reference becomes the members of its block, in every cell of its
// array, each mapped by the reference's placement through the edit map of
// the transform edits and copied as the copy edits copy (a new handle
// each, owned where the reference was). Members on layer "0" take the
// reference's layer; a colour, line type or line weight BYBLOCK takes the
// reference's. Nested references stay references (one level at a time);
// attribute definitions are left out, the reference's visible attributes
// become texts of their value where they stand. A dimension becomes the
// contents of the block that draws it. A scale that differs between the
// axes keeps what is made of points (lines, points, solids, splines,
// polylines without arcs or widths); circles, arcs and ellipses become
// ellipses and elliptic arcs; texts get the height, width factor and
// rotation of their stretched frame; any other kind, and a text the
// stretch would shear, is refused, naming it.
//
// A hatch becomes its boundary in its plane: a polyline path a polyline
// (with its bulges), the edges of an edge path lines, arcs, elliptic arcs
// and splines.
#pragma once

#include <string>
#include <vector>

#include "editing/editunits.h"
#include "editing/reshape.h"
#include "file/context.h"
#include "writers/insertcode.h"

namespace vestrel {

// Whether `u` is a block reference, a dimension or a hatch.
bool ExplodesAsPicture(const Drawing& d, const EditUnit& u);

// The copied members of the blocks that the references and dimensions
// among `units` draw, one list of lines per unit (none for the other
// kinds). Their handles are taken from the drawing as they are copied:
// the caller gives them back when the edit does not go in. Done, or why
// not.
ReshapeResult CopyPictures(DocumentContext& c, const std::vector<EditUnit>& units,
                           std::vector<std::vector<std::string>>& copies);

// What `u` makes besides its block's members: a reference's attributes as
// texts, a hatch's boundary.
void WriteOwnParts(CodeLines& l, const EditUnit& u);

}  // namespace vestrel
