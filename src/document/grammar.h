// One grammar per kind of object: the name it has in the text, the kind of
// display-list entry it becomes, whether its points lie in its own plane,
// and what its groups mean. The reader takes its kinds and their planes
// from here, and the edit map the meaning of every group it changes; a
// tool that changes an object's geometry finds here which lines hold it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "document/records.h"

namespace vestrel {

// What the value of a group is. A point or vector is named by its x group;
// its y and z are the groups 10 and 20 above it.
enum class Meaning : std::uint8_t {
  None,        // nothing an edit of the geometry changes
  Point,       // a point: in the object's plane when its kind has one, else in the world
  WorldPoint,  // a point in the world, whatever the kind
  PlanePoint,  // a point in the object's plane, whatever the kind
  FlatPoint,   // x and y of a point in the object's plane; its height is the elevation
  Vector,      // a displacement in the world: turned, mirrored and scaled with the object
  Direction,   // a direction in the world: turned and mirrored, never scaled
  Distance,    // a length
  Angle,       // degrees from the x axis of the object's plane
  Bulge,       // the bulge of the segment from this vertex to the next
  Elevation,   // the height of the object's plane above the origin, along the extrusion
  Extrusion,   // the extrusion (210, 220, 230): the normal of the object's plane
  StartAngle,  // an arc's ends, counter-clockwise, in degrees
  EndAngle,
  StartParameter,  // an elliptic arc's ends, in radians from its major axis
  EndParameter,
  Scale,        // a block reference's scale along one of its axes
  Measurement,  // a dimension's measured value: a length, or an angle
};

struct GroupMeaning {
  std::int16_t group;
  Meaning meaning;
};

struct KindGrammar {
  std::string_view name;
  Kind kind;    // the display-list entry it becomes; None: the reader steps over it
  bool planar;  // its points lie in the coordinate system of its extrusion
  std::span<const GroupMeaning> groups;  // the object's own groups, before any embedded object

  Meaning meaning(int group) const {
    for (const GroupMeaning& g : groups)
      if (g.group == group) return g.meaning;
    return Meaning::None;
  }
  bool has(Meaning m) const {
    for (const GroupMeaning& g : groups)
      if (g.meaning == m) return true;
    return false;
  }
};

// The grammar of the kind named `name` (the value of an object's "0"
// group); nullptr for a kind that has none here.
const KindGrammar* GrammarOf(std::string_view name);
// The grammar of a display-list kind.
const KindGrammar& GrammarOf(Kind kind);
// The display-list kind of an object named `name`; None for one the
// reader steps over.
Kind KindOf(std::string_view name);

// The groups of the multi-line text that an attribute carries after its
// group 101: in the world.
extern const KindGrammar kEmbeddedText;

// Group 70 of a POLYLINE: a 3-D polyline (8), a mesh (16) or a polyface
// mesh (64), whose vertices lie in the world.
constexpr bool WorldVertices(std::int32_t polylineFlags) { return (polylineFlags & (8 | 16 | 64)) != 0; }

}  // namespace vestrel
