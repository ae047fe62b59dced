// Every menu item and tool button of the main window, once: its program
// name (also the Qt object name the replay and the translation walk find it
// by), its German caption and hint, its picture, its handler, and the state
// it shows. The window builds its menus and tool bars from this table and
// mirrors the state after every repaint; nothing else names a caption or
// connects a handler.
#pragma once

#include <span>
#include <string_view>

namespace vestrel {

class Editor;

// The pictures of the tool buttons; the window draws them.
enum class Icon {
  None, NewFile, NewR12, Open, Save, Print, Undo, Redo, ZoomAll, ZoomIn, ZoomOut, Zoom, Hand, ZoomWindow,
  ZoomPrevious, Preview, Layers,
  // The drawing tools.
  Line, PolyLine, Polygon, Rectangle, Arc, Circle, Spline, Ellipse, Text, Dimension, Point, Solid, Arrow, Pen,
  // The editing tools.
  Delete, Copy, Move, Rotate, Mirror, Scale, Array, Join, Explode, Trim, Extend, Offset, Fillet, Chamfer, Break,
  Lengthen,
  // The object snaps, in the order of their kinds: their markers.
  SnapEndpoint, SnapMidpoint, SnapCentre, SnapQuadrant, SnapIntersection, SnapPerpendicular, SnapTangent,
  SnapNearest, SnapBase,
};

// Where a command's tool button stands.
enum class ToolBar {
  None,
  Main,     // ToolBar1, at the top: files, view, the property boxes
  Drawing,  // ToolBar2, left: the drawing tools, one radio group
  Editing,  // ToolBar3, right: the editing tools
  Snaps,    // ToolBar4, at the top: the object snaps
};

struct Command {
  std::string_view menu = {};     // program name of the menu it stands in; empty for a top menu or a button only
  bool popup = false;             // a menu that opens at the pointer, not in the menu bar
  std::string_view name = {};     // program name of its menu item; empty for a button only
  std::string_view caption = {};  // German caption of the menu item
  std::string_view button = {};   // program name of its tool button; empty for a menu item only
  ToolBar bar = ToolBar::None;
  std::string_view hint = {};      // German hint of the button and of the menu item
  Icon icon = Icon::None;
  void (Editor::*handler)() = nullptr;  // none for a menu that opens (in the menu bar, in a menu, or at the pointer)
  std::string_view shortcut = {};  // "Ctrl+Z"; empty for none
  bool menuGap = false;       // a separator before the menu item
  bool barGap = false;        // a separator before the tool button
  // A check mark or a pressed button that shows the editor's state; the
  // buttons of the tools (and their menu items) show the tool as the tool
  // table says, without one.
  bool (*checked)(const Editor&) = nullptr;
  // Whether the command can be used now; always when not given.
  bool (*enabled)(const Editor&) = nullptr;
  // The checked items of one menu that are marked so form one radio group:
  // exactly one of them is checked.
  bool radio = false;
};

// The commands in the order of the menu bar and, within each menu and tool
// bar, in the order they are shown.
std::span<const Command> Commands();

// Whether the command's menu item and button show a state, and whether
// they show it checked now.
bool Checkable(const Command& c);
bool Checked(const Editor& e, const Command& c);

}  // namespace vestrel
