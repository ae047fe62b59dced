// Writers of what no drawing tool draws: a layer, a line type, and a
// viewport onto the model on a paper-space layout.
#pragma once

#include <string>
#include <vector>

#include "document/tabscope.h"
#include "platform/platform.h"
#include "writers/insertcode.h"

namespace vestrel {

// A new entry at the end of the LAYER table; nothing without such a table.
// Like the line type, it goes in at the table's end, alone in its list.
InsertResult AddNewLayer(CodeLines& l, const std::string& name, const std::string& linetypename, const std::string& lineweight,
                 const std::string& colour);

// A new entry at the end of the LTYPE table: dashes (> 0), gaps (< 0) and
// dots (0); its total length is that of all of them.
InsertResult AddLineStil(CodeLines& l, const std::string& name, const std::string& description, const std::vector<double>& parts);

// A VIEWPORT entity on the layout that is shown: `first` for the one that
// stands for the sheet itself (identifier 1), else a new identifier.
InsertResult AddViewport(CodeLines& l, bool first, const ViewportValues& v);

// The box that the drawn points of the model fill, in whole units (0 0 0 0
// for an empty model).
struct ModelBox {
  double minx = 0, miny = 0, maxx = 0, maxy = 0;
};

// The viewport a layout is given, or the viewport dialog proposes: it fills
// the printable part of `page`, or of the layout's own `paper` less 10 mm
// all round, and shows the whole model.
ViewportValues ProposedViewport(const PrinterPage& page, const PrintSetup& print, const ModelBox& model);
ViewportValues ProposedViewport(const LayoutPaper& paper, const ModelBox& model);

}  // namespace vestrel
