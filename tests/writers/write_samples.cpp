// Writes one drawing per version with every writer called once on known
// geometry, and a JSON file saying what an independent DXF reader must find
// in them. oracle_writers.py runs this and checks the drawings with ezdxf.
//
// Usage: write_samples OUTDIR
//   OUTDIR/r12.dxf, OUTDIR/r2000.dxf       the drawings with the samples
//   OUTDIR/r12_base.dxf, r2000_base.dxf    the same new drawings untouched
//   OUTDIR/expected.json                   what must be in them
//
// The expectations are worked out here from the inputs, the way a reader
// of the file would see them; nothing of the writers' own arithmetic or
// number formatting is used for them.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "file/lifecycle.h"
#include "platform/nullplatform.h"
#include "tools/editor.h"
#include "writers/annotationwriters.h"
#include "writers/entitywriters.h"
#include "writers/tablewriters.h"

namespace vestrel {
namespace {

// A window system that answers nothing: the writers must not ask or
// complain, so every message or question is recorded as a failure.
class QuietPlatform : public NullPlatform {
 public:
  int complaints = 0;

  std::string Message(int nr) override { return "message " + std::to_string(nr); }
  void ShowMessage(int nr, std::string_view suffix, MsgIcon, int) override {
    std::cerr << "write_samples: unexpected message " << nr << " " << suffix << "\n";
    ++complaints;
  }
  Answer AskYesNoCancel(int nr, int) override {
    std::cerr << "write_samples: unexpected question " << nr << "\n";
    ++complaints;
    return Answer::Cancel;
  }
};

// Just enough JSON: objects and arrays built as text.
std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}
std::string Str(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}
std::string Vec(std::initializer_list<double> v) {
  std::string out = "[";
  for (double x : v) out += (out.size() > 1 ? ", " : "") + Num(x);
  return out + "]";
}
std::string Vec(Point3 p) { return Vec({p.x, p.y, p.z}); }

// One expected item: "key": value pairs.
class Obj {
 public:
  Obj& set(const std::string& key, const std::string& json) {
    fields_.push_back(Str(key) + ": " + json);
    return *this;
  }
  Obj& num(const std::string& key, double v) { return set(key, Num(v)); }
  Obj& str(const std::string& key, const std::string& v) { return set(key, Str(v)); }
  std::string json() const {
    std::string out = "{";
    for (std::size_t i = 0; i < fields_.size(); ++i) out += (i ? ", " : "") + fields_[i];
    return out + "}";
  }

 private:
  std::vector<std::string> fields_;
};

struct Expected {
  std::vector<std::string> entities, layers, linetypes;
};

double Deg(double rad) { return rad * 180 / kPi; }

class Samples {
 public:
  Samples(Editor& e, QuietPlatform& p, bool r2000) : editor_(e), platform_(p), r2000_(r2000) {}

  // Calls every writer once; false when one of them refused.
  bool write(Expected& x) {
    DocumentContext& s = editor_.doc;
    const std::string model = "model";

    // A line in space.
    check("AddLine", Write(s, AddLine, LineKind::Line, {1.5, -2.25, 0.5}, {10.75, 4.5, -1.25}));
    x.entities.push_back(entity("line", "LINE", model)
                             .set("start", Vec({1.5, -2.25, 0.5}))
                             .set("end", Vec({10.75, 4.5, -1.25}))
                             .json());

    if (r2000_) {
      // A ray from (2.5, 3.5) towards (5.5, 7.5): the direction (3, 4) is
      // written as a unit vector.
      check("AddLine Ray", Write(s, AddLine, LineKind::Ray, {2.5, 3.5, 0}, {5.5, 7.5, 0}));
      x.entities.push_back(
          entity("ray", "RAY", model).set("start", Vec({2.5, 3.5, 0})).set("unit_vector", Vec({0.6, 0.8, 0})).json());
      // A construction line through (-4.25, 1.75) and (-12.25, 7.75):
      // direction (-8, 6), one long.
      check("AddLine XLine", Write(s, AddLine, LineKind::XLine, {-4.25, 1.75, 0}, {-12.25, 7.75, 0}));
      x.entities.push_back(entity("xline", "XLINE", model)
                               .set("start", Vec({-4.25, 1.75, 0}))
                               .set("unit_vector", Vec({-0.8, 0.6, 0}))
                               .json());
    }

    // A quadrilateral given corner after corner around it; the file keeps
    // the corners crosswise: 1, 2, 4, 3.
    const Point3 q1{1.25, 1.5, 0}, q2{6.5, 1.5, 0}, q3{7, 5.75, 0}, q4{0.5, 6.25, 0};
    check("AddSolid", Write(s, AddSolid, q1, q2, q3, q4));
    x.entities.push_back(entity("solid", "SOLID", model)
                             .set("vtx0", Vec(q1))
                             .set("vtx1", Vec(q2))
                             .set("vtx2", Vec(q4))
                             .set("vtx3", Vec(q3))
                             .json());

    check("AddPoint", Write(s, AddPoint, {-3.75, 8.125, 2.5}));
    x.entities.push_back(entity("point", "POINT", model).set("location", Vec({-3.75, 8.125, 2.5})).json());

    // Centre (2.5, -1.5) through (5.5, 2.5): radius 5.
    check("AddCircle 0", Write(s, AddCircle, 0, {2.5, -1.5, 0}, {5.5, 2.5, 0}));
    x.entities.push_back(
        entity("circle centre-radius", "CIRCLE", model).set("center", Vec({2.5, -1.5, 0})).num("radius", 5).json());
    // Centre (-6, 4) and a diameter of 15 (to (3, 16)): radius 7.5.
    check("AddCircle 2", Write(s, AddCircle, 2, {-6, 4, 0}, {3, 16, 0}));
    x.entities.push_back(
        entity("circle centre-diameter", "CIRCLE", model).set("center", Vec({-6, 4, 0})).num("radius", 7.5).json());
    // Three points on the circle of radius 5 around (1, 2).
    check("AddCircleDurch3Punkte", Write(s, AddCircleDurch3Punkte, {6, 2, 0}, {1, 7, 0}, {-3, 5, 0}));
    x.entities.push_back(
        entity("circle 3 points", "CIRCLE", model).set("center", Vec({1, 2, 0})).num("radius", 5).json());

    // Arcs. The file has them counter-clockwise from start to end angle.
    // Start (15, 10), through (13, 14), end (6, 13), all on the circle of
    // radius 5 around (10, 10): counter-clockwise from 0 degrees to the
    // direction (-4, 3).
    check("AddArc 0", Write(s, AddArc, 0, {15, 10, 0}, {13, 14, 0}, {6, 13, 0}));
    x.entities.push_back(entity("arc 3 points", "ARC", model)
                             .set("center", Vec({10, 10, 0}))
                             .num("radius", 5)
                             .num("start_angle", 0)
                             .num("end_angle", Deg(std::atan2(3.0, -4.0)))
                             .json());
    // Start (-5, 5), end (-10, 10), through (-14, 2), on the circle of
    // radius 5 around (-10, 5): clockwise from 0 over 216.87 to 90
    // degrees, so counter-clockwise from 90 to 360.
    check("AddArc 3", Write(s, AddArc, 3, {-5, 5, 0}, {-10, 10, 0}, {-14, 2, 0}));
    x.entities.push_back(entity("arc start-end-point", "ARC", model)
                             .set("center", Vec({-10, 5, 0}))
                             .num("radius", 5)
                             .num("start_angle", 90)
                             .num("end_angle", 0)
                             .json());
    // Centre (3, -4), start at 90 degrees and radius 2.5, end in the
    // direction (-7, -7), that is 225 degrees.
    check("AddArc 1", Write(s, AddArc, 1, {3, -4, 0}, {3, -1.5, 0}, {-4, -11, 0}));
    x.entities.push_back(entity("arc centre-start-end", "ARC", model)
                             .set("center", Vec({3, -4, 0}))
                             .num("radius", 2.5)
                             .num("start_angle", 90)
                             .num("end_angle", 225)
                             .json());

    if (r2000_) {
      // Major axis from (-2, 1) to (6, 7): centre (2, 4), half axis (4, 3)
      // of length 5; the minor axis ends 2 from the centre at (0.8, 5.6).
      check("AddEllipse 0", Write(s, AddEllipse, 0, {-2, 1, 0}, {6, 7, 0}, {0.8, 5.6, 0}, 0, 0));
      x.entities.push_back(entity("ellipse", "ELLIPSE", model)
                               .set("center", Vec({2, 4, 0}))
                               .set("major_axis", Vec({4, 3, 0}))
                               .num("ratio", 0.4)
                               .num("start_param", 0)
                               .num("end_param", 2 * kPi)
                               .json());
      // Major axis from (10, -5) to (10, 3): centre (10, -1), half axis
      // (0, 4); minor half axis 1.5; from 0.5 to 4 radians.
      check("AddEllipse 1", Write(s, AddEllipse, 1, {10, -5, 0}, {10, 3, 0}, {11.5, -1, 0}, 0.5, 4.0));
      x.entities.push_back(entity("elliptic arc", "ELLIPSE", model)
                               .set("center", Vec({10, -1, 0}))
                               .set("major_axis", Vec({0, 4, 0}))
                               .num("ratio", 0.375)
                               .num("start_param", 0.5)
                               .num("end_param", 4.0)
                               .json());
    }

    // Polylines. The editor's bulges have y pointing down: the file has
    // the opposite sign.
    const std::string poly = r2000_ ? "LWPOLYLINE" : "POLYLINE";
    {
      std::vector<PolyVertex> p(4);
      p[0].x = 1.5, p[0].y = -2.25;
      p[1].x = 5.5, p[1].y = -2.25, p[1].bulge = -0.5;
      p[2].x = 5.5, p[2].y = 3.75, p[2].bulge = 0.25;
      p[3].x = 0.5, p[3].y = 4;
      check("AddPolyLine open", Write(s, AddPolyLine, p, false));
      x.entities.push_back(entity("open polyline", poly, model)
                               .set("vertices", "[" + Vec({1.5, -2.25, 0}) + ", " + Vec({5.5, -2.25, 0.5}) + ", " +
                                                    Vec({5.5, 3.75, -0.25}) + ", " + Vec({0.5, 4, 0}) + "]")
                               .set("closed", "false")
                               .json());
    }
    {
      std::vector<PolyVertex> p(3);
      p[0].x = -7.5, p[0].y = -7.5, p[0].bulge = 0.125;
      p[1].x = -1.5, p[1].y = -7.5;
      p[2].x = -4.5, p[2].y = -2.5, p[2].bulge = 1;  // the closing segment: a half circle
      check("AddPolyLine closed", Write(s, AddPolyLine, p, true));
      x.entities.push_back(entity("closed polyline", poly, model)
                               .set("vertices", "[" + Vec({-7.5, -7.5, -0.125}) + ", " + Vec({-1.5, -7.5, 0}) + ", " +
                                                    Vec({-4.5, -2.5, -1}) + "]")
                               .set("closed", "true")
                               .json());
    }
    {
      // A pentagon around (2, 3) through (5, 7): radius 5; its first
      // corner is (3, 4) turned a quarter counter-clockwise, (-4, 3); the
      // others follow clockwise, and the first comes again at the end.
      check("AddPolyGon", Write(s, AddPolyGon, {2, 3, 0}, {5, 7, 0}, 5));
      const double t0 = std::atan2(3.0, -4.0);
      std::string v = "[";
      for (int k = 0; k <= 5; ++k) {
        const double t = t0 - k * 2 * kPi / 5;
        v += (k ? ", " : "") + Vec({2 + 5 * std::cos(t), 3 + 5 * std::sin(t), 0});
      }
      x.entities.push_back(entity("pentagon", poly, model)
                               .set("vertices", v + "]")
                               .set("closed", "true")
                               .json());
    }

    // Texts, typed with letters of the code page and beyond it. A newer
    // drawing gets every line, one of them longer than a chunk (250
    // characters) with wide characters where the first chunk ends; R12
    // only the first line.
    {
      const std::string first = "Stra\xC3\x9F" "e \xE2\x80\x94 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";
      const std::string second = std::string(246, 'x') + "\xC3\xA4\xE4\xB8\xAD\xF0\x9F\x98\x80" + std::string(40, 'y');
      const TextResult t = WriteText(s, {4.5, -6.25, 0}, 2.5, first + "\r\n" + second, 30);
      check("AddText", t.result);
      const bool single = !r2000_;
      if (t.firstLineOnly != single) {
        std::cerr << "write_samples: AddText says only the first line went in: " << t.firstLineOnly << "\n";
        ok_ = false;
      }
      Obj o = entity(single ? "text" : "mtext", single ? "TEXT" : "MTEXT", model);
      o.set("insert", Vec({4.5, -6.25, 0})).num(single ? "height" : "char_height", 2.5).num("rotation", 30);
      o.str("text", single ? first : first + "\\P" + second);
      x.entities.push_back(o.json());
    }

    // An arrow head at (2, 1) with its back towards (2, 9): 0.17 long,
    // 0.068 wide.
    check("AddArrowToLine", Write(s, AddArrowToLine, {2, 1}, {2, 9}));
    x.entities.push_back(head("arrow head", {2, 1, 0}, {1.966, 1.17, 0}, {2.034, 1.17, 0}));

    // A dimension of (10, 20) to (16, 20) with its line 3 above: two
    // extension lines, the dimension line, a head at either end of it
    // pointing outwards.
    check("AddDimensionLines", Write(s, AddDimensionLines, {10, 20, 0}, {16, 20, 0}, {10, 23}, {16, 23}));
    x.entities.push_back(
        entity("extension line 1", "LINE", model).set("start", Vec({10, 20, 0})).set("end", Vec({10, 23, 0})).json());
    x.entities.push_back(
        entity("extension line 2", "LINE", model).set("start", Vec({16, 20, 0})).set("end", Vec({16, 23, 0})).json());
    x.entities.push_back(
        entity("dimension line", "LINE", model).set("start", Vec({10, 23, 0})).set("end", Vec({16, 23, 0})).json());
    x.entities.push_back(head("dimension head 1", {10, 23, 0}, {10.17, 23.034, 0}, {10.17, 22.966, 0}));
    x.entities.push_back(head("dimension head 2", {16, 23, 0}, {15.83, 22.966, 0}, {15.83, 23.034, 0}));

    if (r2000_) {
      // Splines through the clicks: a cubic with a control point a click
      // over clamped integer knots. Five points; then four points with a
      // handle for each end direction, closed back to the first point.
      const std::vector<PolyVertex> five{{0, 0, 0, 0}, {10, 5, 0, 0}, {20, -3, 0, 0}, {30, 8, 0, 0}, {40, 0, 0, 0}};
      check("AddSPLINE", Write(s, AddSPLINE, five, 0, false));
      x.entities.push_back(spline("spline", five, false).set("knots", Vec({0, 0, 0, 0, 1, 2, 2, 2, 2})).json());
      const std::vector<PolyVertex> handles{{0, 30, 0, 0},  {12, 34, 0, 0}, {20, 26, 0, 0},
                                            {0, 30, 0, 0},  {-4, 20, 0, 0}, {3, 45, 0, 0}};
      check("AddSPLINE directions", Write(s, AddSPLINE, handles, 2, true));
      x.entities.push_back(spline("spline with directions", {handles.begin(), handles.end() - 2}, true)
                               .num("control_count", 6)
                               .json());
    }

    // The tables: a dash-gap-dot-gap line type and a layer drawn with it.
    const std::vector<double> pattern{1.25, -0.5, 0, -0.5};
    check("AddLineStil", Write(s, AddLineStil, "DASHDOT_S", "Dash dot __ . __ .", pattern));
    x.linetypes.push_back(Obj()
                              .str("name", "DASHDOT_S")
                              .str("description", "Dash dot __ . __ .")
                              // total length, then the elements
                              .set("pattern", Vec({2.25, 1.25, -0.5, 0, -0.5}))
                              .json());
    check("AddNewLayer", Write(s, AddNewLayer, "WALLS_2", "DASHDOT_S", "25", "3"));
    Obj layer;
    layer.str("name", "WALLS_2").num("color", 3).str("linetype", "DASHDOT_S");
    if (r2000_) layer.num("lineweight", 25);
    x.layers.push_back(layer.json());

    // Viewports on the paper layout: the one of the sheet itself, and
    // another.
    const std::string paper = "Layout1";
    ViewportValues v1;
    v1.Breite = 277, v1.Hoehe = 190, v1.MitteX = 148.5, v1.MitteY = 105;
    v1.InhaltX = 12.5, v1.InhaltY = -7.25, v1.HoeheInhalt = 80.5;
    editor_.view.tab = 1;
    check("AddViewport first", Write(s, AddViewport, true, v1));
    x.entities.push_back(viewport("sheet viewport", paper, v1, true).json());
    ViewportValues v2;
    v2.Breite = 100.5, v2.Hoehe = 70.25, v2.MitteX = 60.25, v2.MitteY = 45.75;
    v2.InhaltX = 3.75, v2.InhaltY = 2.5, v2.HoeheInhalt = 20.125;
    editor_.view.tab = 1;
    check("AddViewport next", Write(s, AddViewport, false, v2));
    x.entities.push_back(viewport("viewport", paper, v2, false).json());
    return ok_ && platform_.complaints == 0;
  }

 private:
  Obj entity(const std::string& name, const std::string& type, const std::string& layout) {
    Obj o;
    o.str("name", name).str("dxftype", type).str("layout", layout).str("layer", "0");
    return o;
  }
  Obj viewport(const std::string& name, const std::string& layout, const ViewportValues& v, bool first) {
    Obj o = entity(name, "VIEWPORT", layout);
    o.set("center", Vec({v.MitteX, v.MitteY, 0})).num("width", v.Breite).num("height", v.Hoehe);
    o.set("view_center_point", Vec({v.InhaltX, v.InhaltY})).num("view_height", v.HoeheInhalt);
    // The sheet's own viewport is number 1; any other one has a number of
    // its own above it.
    if (first)
      o.num("id", 1);
    else
      o.set("id_unique_above", "1");
    return o;
  }
  // An arrow head: a solid from its tip to the two corners of its back, the
  // second given twice.
  std::string head(const std::string& name, Point3 tip, Point3 back1, Point3 back2) {
    return entity(name, "SOLID", "model")
        .set("vtx0", Vec(tip))
        .set("vtx1", Vec(back1))
        .set("vtx2", Vec(back2))
        .set("vtx3", Vec(back2))
        .json();
  }
  // A cubic spline that starts on the first of `through`, ends on the last
  // and passes through all of them.
  Obj spline(const std::string& name, const std::vector<PolyVertex>& through, bool closed) {
    std::string pts = "[";
    for (const PolyVertex& q : through) pts += (pts.size() > 1 ? ", " : "") + Vec({q.x, q.y, 0});
    Obj o = entity(name, "SPLINE", "model");
    o.num("degree", 3).set("closed", closed ? "true" : "false").set("passes_through", pts + "]");
    o.set("start", Vec({through.front().x, through.front().y, 0}));
    o.set("end", Vec({through.back().x, through.back().y, 0}));
    return o;
  }
  void check(const char* what, InsertResult result) {
    if (result != InsertResult::Inserted) {
      std::cerr << "write_samples: " << what << " wrote nothing (" << (r2000_ ? "R2000" : "R12") << ")\n";
      ok_ = false;
    }
  }

  Editor& editor_;
  QuietPlatform& platform_;
  bool r2000_;
  bool ok_ = true;
};

std::string List(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ",\n      " : "\n      ") + items[i];
  return out + (items.empty() ? "]" : "\n    ]");
}

// One new drawing of the version, saved untouched and with the samples.
// Returns the drawing's part of the JSON, or "" on failure.
std::string Drawing1(const std::string& outdir, bool r2000) {
  const std::string stem = r2000 ? "r2000" : "r12";
  QuietPlatform platform;
  Editor editor{platform};
  editor.FormCreate(VESTREL_TEMPLATE_DIR);
  editor.FormShow({});
  if (!r2000) editor.NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  const int want = r2000 ? 1015 : 1009;
  if (editor.drawing.cadver != want) {
    std::cerr << "write_samples: new drawing is version " << editor.drawing.cadver << ", not " << want << "\n";
    return "";
  }
  if (!SaveFileUnder(editor.doc, platform, outdir + "/" + stem + "_base.dxf")) return "";
  Expected x;
  Samples samples(editor, platform, r2000);
  const bool written = samples.write(x);
  if (!SaveFileUnder(editor.doc, platform, outdir + "/" + stem + ".dxf") || !written) return "";
  return "{\n    \"file\": " + Str(stem + ".dxf") + ",\n    \"base\": " + Str(stem + "_base.dxf") +
         ",\n    \"version\": " + Str(r2000 ? "AC1015" : "AC1009") + ",\n    \"entities\": " + List(x.entities) +
         ",\n    \"layers\": " + List(x.layers) + ",\n    \"linetypes\": " + List(x.linetypes) + "\n  }";
}

}  // namespace
}  // namespace vestrel

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: write_samples OUTDIR\n";
    return 2;
  }
  const std::string outdir = argv[1];
  const std::string r12 = vestrel::Drawing1(outdir, false);
  const std::string r2000 = vestrel::Drawing1(outdir, true);
  if (r12.empty() || r2000.empty()) return 1;
  std::ofstream out(outdir + "/expected.json");
  out << "{\n  \"drawings\": [\n  " << r12 << ",\n  " << r2000 << "\n  ]\n}\n";
  out.close();
  return out ? 0 : 1;
}
