#include "document/grammar.h"

#include <array>

namespace vestrel {

namespace {

using enum Meaning;

constexpr GroupMeaning kLine[] = {{10, Point}, {11, Point}, {39, Distance}, {210, Extrusion}};
constexpr GroupMeaning kPoint[] = {{10, Point}, {39, Distance}, {50, Angle}, {210, Extrusion}};
constexpr GroupMeaning kCircle[] = {{10, Point}, {39, Distance}, {40, Distance}, {210, Extrusion}};
constexpr GroupMeaning kArc[] = {{10, Point},       {39, Distance},  {40, Distance},
                                 {50, StartAngle}, {51, EndAngle}, {210, Extrusion}};
constexpr GroupMeaning kEllipse[] = {
    {10, Point}, {11, Vector}, {41, StartParameter}, {42, EndParameter}, {210, Extrusion}};
constexpr GroupMeaning kLwpolyline[] = {{10, FlatPoint}, {38, Elevation}, {39, Distance}, {40, Distance},
                                        {41, Distance},  {42, Bulge},     {43, Distance}, {210, Extrusion}};
// The header of an old-style polyline: its own 10 and 20 are no point, its
// 30 is the elevation of a 2-D one.
constexpr GroupMeaning kPolyline[] = {
    {30, Elevation}, {39, Distance}, {40, Distance}, {41, Distance}, {210, Extrusion}};
// A vertex lies in its polyline's plane (or, in a 3-D polyline, a mesh or
// a polyface mesh, in the world: its point is all that is mapped there).
constexpr GroupMeaning kVertex[] = {{10, Point}, {40, Distance}, {41, Distance}, {42, Bulge}, {50, Angle}};
constexpr GroupMeaning kSolid[] = {
    {10, Point}, {11, Point}, {12, Point}, {13, Point}, {39, Distance}, {210, Extrusion}};
constexpr GroupMeaning kFace[] = {{10, Point}, {11, Point}, {12, Point}, {13, Point}, {39, Distance}};
constexpr GroupMeaning kText[] = {
    {10, Point}, {11, Point}, {39, Distance}, {40, Distance}, {50, Angle}, {210, Extrusion}};
constexpr GroupMeaning kEmbedded[] = {
    {10, WorldPoint}, {11, Direction}, {40, Distance}, {41, Distance}, {46, Distance}};
// After group 75 (columns), 48, 49 and 50 size the columns.
constexpr GroupMeaning kMtext[] = {{10, Point},    {11, Direction}, {40, Distance}, {41, Distance},
                                   {42, Distance}, {43, Distance},  {46, Distance}, {48, Distance},
                                   {49, Distance}, {50, Angle},     {210, Extrusion}};
constexpr GroupMeaning kInsert[] = {{10, Point},    {41, Scale},    {42, Scale}, {43, Scale},
                                    {44, Distance}, {45, Distance}, {50, Angle}, {210, Extrusion}};
// Group 12 places the dimension's block, whose contents an edit maps with
// it: it stays.
constexpr GroupMeaning kDimension[] = {{10, Point},    {11, PlanePoint},  {13, Point}, {14, Point}, {15, Point},
                                       {16, PlanePoint}, {40, Distance}, {42, Measurement}, {50, Angle},
                                       {51, Angle},    {52, Angle},       {53, Angle}, {210, Extrusion}};
constexpr GroupMeaning kLeader[] = {{10, Point},   {40, Distance}, {41, Distance}, {211, Direction},
                                    {212, Vector}, {213, Vector},  {210, Extrusion}};
constexpr GroupMeaning kSpline[] = {{10, Point},     {11, Point},    {12, Direction}, {13, Direction},
                                    {43, Distance}, {44, Distance}, {210, Extrusion}};
constexpr GroupMeaning kRay[] = {{10, Point}, {11, Direction}};
constexpr GroupMeaning kImage[] = {{10, Point}, {11, Vector}, {12, Vector}};
// A viewport's frame stays upright on its sheet.
constexpr GroupMeaning kViewport[] = {{10, Point}, {40, Distance}, {41, Distance}};
// What a hatch's other groups mean depends on where they stand: in a
// boundary path, an edge, the pattern, the seed points or the gradient.
constexpr GroupMeaning kHatch[] = {{30, Elevation}, {210, Extrusion}};

// The kinds of display-list entries first, in the order of how common they
// are after lines; then those an edit maps that the reader steps over.
constexpr KindGrammar kGrammars[] = {
    {"LINE", Kind::LINE, false, kLine},
    {"VIEWPORT", Kind::VIEWPORT, false, kViewport},
    {"POLYLINE", Kind::POLYLINE, true, kPolyline},
    {"DIMENSION", Kind::DIMENSION, false, kDimension},
    {"RAY", Kind::RAY, false, kRay},
    {"XLINE", Kind::XLINE, false, kRay},
    {"LWPOLYLINE", Kind::LWPOLYLINE, true, kLwpolyline},
    {"LEADER", Kind::LEADER, false, kLeader},
    {"HATCH", Kind::HATCH, true, kHatch},
    {"WIPEOUT", Kind::WIPEOUT, false, kImage},
    {"SOLID", Kind::SOLID, true, kSolid},
    {"TRACE", Kind::SOLID, true, kSolid},  // a solid of its own name: drawn alike
    {"POINT", Kind::POINT, false, kPoint},
    {"SPLINE", Kind::SPLINE, false, kSpline},
    {"ARC", Kind::ARC, true, kArc},
    {"CIRCLE", Kind::CIRCLE, true, kCircle},
    {"ELLIPSE", Kind::ELLIPSE, false, kEllipse},
    {"TEXT", Kind::TEXT, true, kText},
    {"MTEXT", Kind::MTEXT, false, kMtext},
    {"INSERT", Kind::INSERT, true, kInsert},
    {"ATTRIB", Kind::ATTRIB, true, kText},
    // Leaders, lines, text and block: their groups mean what the braces
    // they stand in say.
    {"MULTILEADER", Kind::MULTILEADER, false, {}},
    {"MLEADER", Kind::MULTILEADER, false, {}},
    {"VERTEX", Kind::None, true, kVertex},
    {"SEQEND", Kind::None, false, {}},
    {"3DFACE", Kind::None, false, kFace},
    {"ATTDEF", Kind::None, true, kText},
    {"IMAGE", Kind::None, false, kImage},
};

}  // namespace

const KindGrammar kEmbeddedText{"", Kind::None, false, kEmbedded};

const KindGrammar* GrammarOf(std::string_view name) {
  for (const KindGrammar& g : kGrammars)
    if (g.name == name) return &g;
  return nullptr;
}

const KindGrammar& GrammarOf(Kind kind) {
  static const auto byKind = [] {
    std::array<const KindGrammar*, static_cast<std::size_t>(Kind::None) + 1> a{};
    static const KindGrammar none{"", Kind::None, false, {}};
    a.fill(&none);
    for (const KindGrammar& g : kGrammars)
      if (const auto k = static_cast<std::size_t>(g.kind); g.kind != Kind::None && a[k] == &none) a[k] = &g;
    return a;
  }();
  return *byKind[static_cast<std::size_t>(kind)];
}

Kind KindOf(std::string_view name) {
  // A drawing is mostly lines.
  if (name == "LINE") return Kind::LINE;
  if (name.size() < 3 || name.size() > 11) return Kind::None;
  const KindGrammar* g = GrammarOf(name);
  return g ? g->kind : Kind::None;
}

}  // namespace vestrel
