#include "view/printing.h"

#include <QPainter>
#include <cmath>

#include "view/renderer.h"

namespace vestrel {

void PrintTab(QPaintDevice& page, Drawing& d, const ViewState& view, const PrintSetup& print) {
  const TabScope scope = ScopeOfTab(d, d.bar.TabControl1.itemIndex, false);
  if (view.donotdrawnow) return;
  const double q = print.q();
  const double b = page.logicalDpiX();
  const int W = page.width(), H = page.height();
  QPainter g(&page);
  g.fillRect(QRect(0, 0, 1, 1), Qt::white);
  PixelCentres(g);
  const double m = print.RandEd * b / kMmPerInch;
  g.setClipRect(QRect(QPoint(static_cast<int>(std::nearbyint(m)), static_cast<int>(std::nearbyint(m))),
                      QPoint(static_cast<int>(std::nearbyint(W - 1 - m)), static_cast<int>(std::nearbyint(H - 1 - m)))));
  DrawParams P;
  P.forprint = true;
  P.showmodelforcolor = true;
  P.showmodel = scope.model;
  P.thelayhan = scope.layhan;
  P.paintbox1height = H;
  P.dpi1 = static_cast<int>(b);
  P.showweight = view.Linienbreitezeigen;
  P.zoomit = b * 100 / kMmPerInch * q;
  P.scrollx = -(print.RandEd + print.XOffsetEd) * b / kMmPerInch;
  P.scrolly = (print.RandEd + print.YOffsetEd) * b / kMmPerInch;
  Drawpolys(g, d, P);
  if (!scope.block.empty()) {
    P.showmodel = true;
    P.blocktodraw = scope.block;
    Drawpolys(g, d, P);
  }
  g.setClipping(false);
}

}  // namespace vestrel
