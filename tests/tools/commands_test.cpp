// The command table, and the rule every handler keeps: it says what there
// is to say and ends with at most one repaint.
#include "tools/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "i18n/msg.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "tools/editor.h"

namespace vestrel {
namespace {

TEST(Commands, EveryNameOnceEveryItemInAMenuEveryButtonWithAHintAndAPicture) {
  std::set<std::string_view> names, menus;
  for (const Command& c : Commands()) {
    for (const std::string_view n : {c.name, c.button}) {
      if (n.empty()) continue;
      EXPECT_TRUE(names.insert(n).second) << n;
    }
    if (!c.name.empty() && !c.handler) {
      // A menu: of the menu bar, in another menu, or at the pointer.
      EXPECT_TRUE(c.menu.empty() || menus.count(c.menu)) << c.name;
      EXPECT_TRUE(c.button.empty()) << c.name;
      menus.insert(c.name);
      continue;
    }
    EXPECT_NE(c.handler, nullptr) << c.name << c.button;
    if (!c.name.empty()) {
      EXPECT_TRUE(menus.count(c.menu)) << c.name << " stands in " << c.menu << ", which comes later or not at all";
      EXPECT_FALSE(c.caption.empty()) << c.name;
    }
    if (!c.button.empty()) {
      EXPECT_NE(c.bar, ToolBar::None) << c.button;
      EXPECT_FALSE(c.hint.empty()) << c.button;
      EXPECT_NE(c.icon, Icon::None) << c.button;
    }
  }
}

class HandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
    editor.FormShow({});
    platform.repaints = 0;
  }
  test::FakePlatform platform;
  Editor editor{platform};
};

TEST_F(HandlerTest, EveryCommandRepaintsAtMostOnce) {
  // Questions are answered No, dialogs cancelled: each command runs its
  // course once.
  for (const Command& c : Commands()) {
    if (!c.handler) continue;
    SCOPED_TRACE(std::string(c.name) + " " + std::string(c.button));
    platform.answers = {Answer::No};
    platform.repaints = 0;
    (editor.*c.handler)();
    EXPECT_LE(platform.repaints, 1);
  }
}

TEST_F(HandlerTest, WhatChangesThePictureRepaintsOnce) {
  struct Case {
    const char* what;
    std::function<void(Editor&)> act;
  };
  const Case cases[] = {
      {"zoom in", [](Editor& e) { e.ZoomInBtnClick(); }},
      {"zoom to extents", [](Editor& e) { e.ZoomAllClick(); }},
      {"preview", [](Editor& e) { e.Druckvorschau1Click(); }},
      {"wheel", [](Editor& e) { e.FormMouseWheel(true, {}, 100, 100); }},
      {"scroll bar", [](Editor& e) { e.HorzScrollbarChange(12345); }},
      // Restores the view and adds two viewports, in one repaint.
      {"a layout's first visit", [](Editor& e) { e.TabControl1Change(1); }},
      {"a viewport", [&](Editor& e) {
         platform.viewportAnswer = ViewportValues{};
         e.Viewporthinzufgen1Click();
       }},
      {"undo", [](Editor& e) { e.Rckgngig1Click(); }},
      {"new drawing", [](Editor& e) { e.NeueDXFDatei1Click(); }},
      {"a zoom drag", [](Editor& e) {
         e.ZoomBtnClick();
         e.PaintBox1MouseDown(MouseButton::Left, {}, 300, 300);
         e.PaintBox1MouseMove({}, 300, 250);
         e.PaintBox1MouseUp(MouseButton::Left, {}, 300, 250);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform.answers = {Answer::No};
    platform.repaints = 0;
    c.act(editor);
    EXPECT_EQ(platform.repaints, 1);
  }
  // Pointing without a drag only tells where the pointer is.
  platform.repaints = 0;
  editor.PaintBox1MouseMove({}, 10, 10);
  EXPECT_EQ(platform.repaints, 0);
  EXPECT_FALSE(platform.status.empty());
}

TEST_F(HandlerTest, AWriterThatFindsNoPlaceIsReportedByItsHandler) {
  const test::TempDir tmp;
  // A drawing without an ENTITIES section has no place for a viewport.
  const std::string file = tmp.write("bare.dxf", "  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nEOF\n");
  platform.openNames = {file};
  editor.ffnen1Click();
  editor.view.tab = 1;
  platform.viewportAnswer = ViewportValues{};
  editor.Viewporthinzufgen1Click();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].nr, msg::NoInsertionPoint);
  EXPECT_EQ(platform.messages[0].icon, MsgIcon::Error);
  EXPECT_TRUE(editor.undos.undos.empty());
  EXPECT_FALSE(editor.file.changed);
}

}  // namespace
}  // namespace vestrel
