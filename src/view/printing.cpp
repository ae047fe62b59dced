#include "view/printing.h"

#include <QPainter>
#include <cmath>

#include "view/renderer.h"

namespace vestrel {

bool PrintTab(QPaintDevice& page, Drawing& d, const ViewState& view, const PrintSetup& print) {
  const TabScope scope = TabScope::OfTab(d, view.tab);
  const double b = page.logicalDpiX();
  const int W = page.width(), H = page.height();
  QPainter g(&page);
  g.fillRect(QRect(0, 0, 1, 1), Qt::white);
  PixelCentres(g);
  const double m = print.RandEd * b / kMmPerInch;
  g.setClipRect(QRect(QPoint(WholePixels(m), WholePixels(m)), QPoint(WholePixels(W - 1 - m), WholePixels(H - 1 - m))));
  DrawParams P{ScreenTransform::OfPage(print, b, H), scope.outsideBlocks()};
  P.forprint = true;
  P.showmodelforcolor = true;
  P.dpi1 = static_cast<int>(b);
  P.showweight = view.Linienbreitezeigen;
  const bool complete = DrawTab(g, d, P, scope.ownBlock());
  g.setClipping(false);
  return complete;
}

}  // namespace vestrel
