// A new drawing to write into, and what the last step inserted.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/journal.h"
#include "support/fake_platform.h"
#include "tools/editor.h"
#include "writers/insertcode.h"

namespace vestrel {

using Lines = std::vector<std::string>;

class WritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor.FormCreate(VESTREL_TEMPLATE_DIR);
    editor.FormShow({});  // a new AC1015 drawing
  }
  // A new R12 drawing, dropping what was written.
  void r12() {
    platform.answers = {Answer::No};
    editor.NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  }
  // The last `n` lines the last step inserted.
  Lines tail(std::size_t n) const {
    const Lines l = inserted();
    return Lines(l.end() - static_cast<std::ptrdiff_t>(n), l.end());
  }

  // The lines the last step inserted.
  Lines inserted() const {
    const taction& a = editor.undos.undos.back().actions.back();
    return editor.drawing.dxf.copy(static_cast<std::size_t>(a.start), static_cast<std::size_t>(a.len));
  }
  std::string model() const { return HandleText(editor.drawing.layouts[0].layhan); }
  std::string handle(int after = 0) const { return HandleText(editor.drawing.maxhandle - after); }

  test::FakePlatform platform;
  Editor editor{platform};
  DocumentContext& s = editor.doc;
};

}  // namespace vestrel
