// The print dialog: millimetres and inches kept equal, and the page set-up
// kept between runs.
#include "dialogs/DruckenFUnit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QSettings>

#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

class DruckenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureWindowApp(); }
};

TEST_F(DruckenTest, MillimetresAndInchesMirrorEachOther) {
  TDruckenForm form;
  form.mmEd->setValue(25.39995);
  EXPECT_DOUBLE_EQ(form.RxSpinEdit4->value(), 1);
  form.RxSpinEdit4->setValue(2);
  EXPECT_NEAR(form.mmEd->value(), 50.7999, 1e-9);
  form.RandEd->setValue(12.7);
  EXPECT_NEAR(form.RxSpinEdit3->value(), 0.5, 0.0001);
  form.RxSpinEdit1->setValue(1);
  EXPECT_NEAR(form.XOffsetEd->value(), 25.4, 0.0001);
  form.YOffsetEd->setValue(-25.39995);
  EXPECT_NEAR(form.RxSpinEdit2->value(), -1, 1e-9);
}

TEST_F(DruckenTest, ThePageSetUpSurvivesARestart) {
  const test::TempDir tmp;
  const QString file = QString::fromStdString(tmp.path("settings.ini"));
  PrintSetup setup;
  setup.mmEd = 10, setup.UnitsEd = 2, setup.RandEd = 5, setup.XOffsetEd = -3, setup.YOffsetEd = 7.5;
  {
    QSettings settings(file, QSettings::IniFormat);
    TDruckenForm::Save(settings, setup);
  }
  PrintSetup read;
  QSettings settings(file, QSettings::IniFormat);
  TDruckenForm::Load(settings, read);
  EXPECT_EQ(read.mmEd, 10);
  EXPECT_EQ(read.UnitsEd, 2);
  EXPECT_EQ(read.RandEd, 5);
  EXPECT_EQ(read.XOffsetEd, -3);
  EXPECT_EQ(read.YOffsetEd, 7.5);
  // A value the dialog cannot hold is not taken.
  settings.setValue("DruckenForm/UnitsEd", 0);
  settings.setValue("DruckenForm/mmEd", "inf");
  settings.setValue("DruckenForm/XOffsetEd", "nan");
  settings.setValue("DruckenForm/RandEd", "1e999");
  TDruckenForm::Load(settings, read);
  EXPECT_EQ(read.UnitsEd, 2);
  EXPECT_EQ(read.mmEd, 10);
  EXPECT_EQ(read.XOffsetEd, -3);
  EXPECT_EQ(read.RandEd, 5);
}

}  // namespace
}  // namespace vestrel
