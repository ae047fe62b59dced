// The filled solid: three or four corners; the right button after three
// writes a triangle.
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::SolidBtnClick() { Arm(ToolButton::SolidBtn, tool.arcmode); }

void SolidFirstClick(Editor& e, const Click& c) {
  e.tool.insolid = true;
  e.tool.ellipsemode = 0;
  ResetRubberBand(e.tool);
  FirstClick(e, c);
  e.Release();
}

void SolidClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  const Point3 p1{t.linesx, t.linesy, 0}, p2{t.linesx2, t.linesy2, 0}, p3{t.linesx3, t.linesy3, 0};
  if (c.right()) {
    t.insolid = false;
    e.removeall();
    if (t.ellipsemode == 2) {
      e.Report(Write(e.doc, AddSolid, p1, p2, p3, p3));
      e.Repaint();
    }
    return;
  }
  const Point2 p = PointStep(e, c);
  if (t.ellipsemode == 0) {
    t.linesx2 = p.x, t.linesy2 = p.y, t.ellipsemode = 1;
  } else if (t.ellipsemode == 1) {
    t.linesx3 = p.x, t.linesy3 = p.y, t.ellipsemode = 2;
  } else {
    e.Report(Write(e.doc, AddSolid, p1, p2, p3, {p.x, p.y, 0}));
    t.insolid = false;
    ResetRubberBand(t);
    e.Repaint();
  }
}

void SolidPreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  const Point2 a = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  if (t.ellipsemode > 0) BandFrom(e, t.ellipsemode == 1 ? Point2{t.linesx2, t.linesy2} : Point2{t.linesx3, t.linesy3});
  std::vector<Point2> outline{a};
  if (t.ellipsemode > 0) outline.push_back(m.window.toScreen(t.linesx2, t.linesy2));
  if (t.ellipsemode > 1) outline.push_back(m.window.toScreen(t.linesx3, t.linesy3));
  outline.push_back(p);
  BandPolyline(e, outline);
}

}  // namespace vestrel
