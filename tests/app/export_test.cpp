// Pictures and PDF pages made without a window: the print scale checked on
// the page, rendered back with pdftoppm.
#include "app/export.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <sstream>

#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

class ExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }
  test::TempDir tmp;
};

const char* const kTenUnits =
    "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n0\n  0\nENDSEC\n  0\nEOF\n";

TEST_F(ExportTest, TenUnitsAtTenMillimetresPrintOneHundredMillimetresFromTheMargin) {
  ExportOptions o;
  o.input = tmp.write("line.dxf", kTenUnits);
  o.output = tmp.path("line.pdf");
  o.mm = 10, o.units = 1, o.margin = 10, o.offsetx = 0, o.offsety = 0;
  std::ostringstream err;
  ASSERT_EQ(RunExportPdf(o, err), 0) << err.str();
  // 100 pixels per inch: a millimetre is 100 / 25.4 pixels.
  const std::string png = tmp.path("page");
  const std::string command = "pdftoppm -r 100 -gray -png -singlefile '" + o.output + "' '" + png + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const QImage page(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(page.isNull());
  // Find the line: the dark pixels of the page.
  int left = page.width(), right = -1, top = page.height(), bottom = -1;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 128) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, 0) << "nothing printed";
  const double mm = 100 / 25.4;
  EXPECT_NEAR(left, 10 * mm, 2);                        // 10 mm from the left edge
  EXPECT_NEAR(right - left + 1, 100 * mm, 3);          // 100 mm long
  EXPECT_NEAR(page.height() - 1 - bottom, 10 * mm, 2);  // 10 mm from the bottom edge
  EXPECT_LE(bottom - top, 2);
}

TEST_F(ExportTest, APictureOfWhatTheWindowShows) {
  ExportOptions o;
  o.input = tmp.write("line.dxf", kTenUnits);
  o.output = tmp.path("line.png");
  o.width = 320, o.height = 200;
  std::ostringstream err;
  ASSERT_EQ(RunExportPng(o, err), 0) << err.str();
  const QImage img(QString::fromStdString(o.output));
  ASSERT_EQ(img.width(), 320);
  ASSERT_EQ(img.height(), 200);
  // Zoomed to its extents the line spans most of the width, in the middle.
  int dark = 0;
  for (int x = 0; x < 320; ++x)
    for (int y = 90; y < 110; ++y) dark += qGray(img.pixel(x, y)) < 128;
  EXPECT_GT(dark, 250);
}

TEST_F(ExportTest, FailuresExitWithOneAndSaySo) {
  ExportOptions o;
  o.input = tmp.path("missing.dxf");
  o.output = tmp.path("out.png");
  std::ostringstream err;
  EXPECT_EQ(RunExportPng(o, err), 1);
  EXPECT_NE(err.str().find("missing.dxf"), std::string::npos);
  o.input = tmp.write("line.dxf", kTenUnits);
  o.tab = 7;
  err.str("");
  EXPECT_EQ(RunExportPng(o, err), 1);
  EXPECT_NE(err.str().find("tab 7"), std::string::npos);
  o.tab = 0;
  // A page that cannot be written is refused before anything is painted.
  o.output = tmp.path("no/such/folder/out.pdf");
  err.str("");
  EXPECT_EQ(RunExportPdf(o, err), 1);
  EXPECT_EQ(err.str(), "vestrel: cannot write " + o.output + ": no such file or folder\n");
  o.output = tmp.dir().string();
  err.str("");
  EXPECT_EQ(RunExportPng(o, err), 1);
  EXPECT_EQ(err.str(), "vestrel: cannot write " + o.output + ": it is a folder\n");
}

TEST(ExportOptions, WhatIsMissingOrWrongIsSaid) {
  struct Case {
    std::vector<std::string> args;
    bool pdf;
    std::string problem;
  };
  const Case cases[] = {
      {{"out.png", "in.dxf", "--tab"}, false, "--tab wants a tab number"},
      {{"--tab", "x", "out.png", "in.dxf"}, false, "--tab wants a tab number"},
      {{"--size", "1e20x5", "out.png", "in.dxf"}, false, "--size wants WIDTHxHEIGHT in pixels"},
      {{"--size"}, false, "--size wants WIDTHxHEIGHT in pixels"},
      {{"--scale", "1:0", "out.pdf", "in.dxf"}, true, "--scale wants MM:UNITS, two positive numbers"},
      {{"--margin"}, true, "--margin wants millimetres"},
      {{"--scale", "1:1", "out.png", "in.dxf"}, false, "unknown option --scale"},
      {{"out.png"}, false, "--export-png wants OUT.png and FILE"},
      {{"--tab", "2", "--size", "30x20", "out.png", "in.dxf"}, false, ""},
  };
  for (const Case& c : cases) {
    ExportOptions o;
    EXPECT_EQ(ParseExportOptions(c.args, c.pdf, o), c.problem);
  }
  ExportOptions o;
  ASSERT_EQ(ParseExportOptions({"--offset", "1:-2", "a.pdf", "b.dxf", "--tab", "1"}, true, o), "");
  EXPECT_EQ(o.output, "a.pdf");
  EXPECT_EQ(o.input, "b.dxf");
  EXPECT_EQ(o.tab, 1);
  EXPECT_EQ(*o.offsety, -2);
}

}  // namespace
}  // namespace vestrel
