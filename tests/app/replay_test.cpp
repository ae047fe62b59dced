// Replay scripts in the real window, offscreen: the events its widgets
// get, the dialogs, message boxes and popup menus answered from the
// script, and why a line cannot run.
#include "app/replay.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>

#include "app/MainUnit.h"
#include "app/paintbox.h"
#include "document/numbers.h"
#include "view/renderer.h"
#include "support/corpus.h"
#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace vestrel {
namespace {

struct Outcome {
  int code = 0;
  std::string out, err;
};

class ReplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    QStandardPaths::setTestModeEnabled(true);  // the print set-up is stored apart
    test::EnsureWindowApp();
  }

  static Outcome Replay(TMainForm& form, const std::string& text) {
    ReplayOptions o;
    o.script = "s.replay";
    o.width = 400, o.height = 300;
    const Script script = ParseScript(text);
    EXPECT_FALSE(script.error) << script.error->reason;
    std::ostringstream out, err;
    const int code = RunReplay(form, o, script, out, err);
    return {code, out.str(), err.str()};
  }

  // A tool button `name` that runs `run`.
  static void AddButton(TMainForm& form, const char* name, std::function<void()> run) {
    QAction* a = form.ToolBar1->addAction(name);
    a->setObjectName(name);
    QObject::connect(a, &QAction::triggered, std::move(run));
  }
};

// A dialog with a control of every kind a script fills; OK wants a name.
class TestForm : public QDialog {
 public:
  explicit TestForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TestForm");
    auto* column = new QVBoxLayout(this);
    auto add = [&](auto* w, const char* name) {
      w->setObjectName(name);
      column->addWidget(w);
      return w;
    };
    count = add(new QSpinBox, "Anzahl");
    count->setRange(0, 99);
    factor = add(new QDoubleSpinBox, "Faktor");
    name = add(new QLineEdit, "NameEd");
    memo = add(new QPlainTextEdit, "Memo");
    rich = add(new QTextEdit, "RichEd");
    choice = add(new QComboBox, "Auswahl");
    choice->addItems({"eins", "zwei", "drei"});
    tick = add(new QCheckBox("Haken"), "Haken");
    add(new QListWidget, "Liste")->addItems({"rot", "gelb"});
    add(new QLineEdit, "Gesperrt")->setEnabled(false);
    add(new QLineEdit, "Versteckt")->hide();
    auto* more = add(new QPushButton("Mehr"), "MehrBtn");
    connect(more, &QPushButton::clicked, this, [this] { done(5); });
    auto* buttons = add(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel), "Buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }

  void accept() override {
    if (name->text().isEmpty()) {
      QMessageBox::warning(this, "TestForm", "Name fehlt");
      return;
    }
    QDialog::accept();
  }

  std::string run() {
    const int r = exec();
    std::ostringstream s;
    s << (r == Accepted ? "ok" : r == Rejected ? "cancel" : "done" + std::to_string(r)) << ' ' << count->value()
      << ' ' << factor->value() << " [" << name->text().toStdString() << "] [" << memo->toPlainText().toStdString()
      << "] [" << rich->toPlainText().toStdString() << "] " << choice->currentIndex() << ' ' << tick->isChecked();
    return s.str();
  }

  QSpinBox* count;
  QDoubleSpinBox* factor;
  QLineEdit* name;
  QPlainTextEdit* memo;
  QTextEdit* rich;
  QComboBox* choice;
  QCheckBox* tick;
};

TEST_F(ReplayTest, AnswersAnyDialogByTheNamesOfItsControls) {
  const struct {
    const char* script;
    const char* shown;  // what the dialog gave back
    const char* err;    // what stopped the replay
  } kCases[] = {
      {"answer TestForm Anzahl=7 Faktor=2.5 NameEd=\"a b\" Memo=\"x\\ny\" RichEd=r Auswahl=drei Haken=1 ok\n"
       "trigger TestBtn",
       "ok 7 2.5 [a b] [x\ny] [r] 2 1", ""},
      {"answer TestForm Auswahl=1 Haken=1 Haken=0 cancel\ntrigger TestBtn", "cancel 0 0 [] [] [] 1 0", ""},
      // By a button's program name or caption; "cancel" is Escape where
      // there is no such button.
      {"answer TestForm MehrBtn\ntrigger TestBtn", "done5 0 0 [] [] [] 0 0", ""},
      {"answer TestForm Mehr\ntrigger TestBtn", "done5 0 0 [] [] [] 0 0", ""},
      // A dialog that refuses its OK stays open for the next answer.
      {"answer TestForm ok\nanswer message ok\nanswer TestForm NameEd=n ok\ntrigger TestBtn",
       "ok 0 0 [n] [] [] 0 0", ""},
      {"answer TestForm ok\nanswer message ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:3: TestForm is still open after its answer\n"},
      // What cannot be set leaves the dialog cancelled.
      {"answer TestForm Anzahl=100 NameEd=n ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Anzahl: 100 lies outside its range 0 to 99\n"},
      {"answer TestForm Anzahl=1.5 ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Anzahl: \"1.5\" is no whole number\n"},
      {"answer TestForm Faktor=abc ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Faktor: \"abc\" is no number\n"},
      {"answer TestForm Gesperrt=x ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Gesperrt: it is disabled\n"},
      {"answer TestForm Versteckt=x ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Versteckt: it is hidden\n"},
      {"answer TestForm Fehlt=x ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm has no control Fehlt\n"},
      {"answer TestForm Haken=vielleicht ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Haken: wants 1 or 0, not \"vielleicht\"\n"},
      {"answer TestForm Auswahl=vier ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Auswahl: it has no item \"vier\"\n"},
      {"answer TestForm Liste=blau ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm Liste: it has no row \"blau\"\n"},
      {"answer TestForm NameEd=n yes\ntrigger TestBtn", "cancel 0 0 [n] [] [] 0 0",
       "s.replay:2: TestForm has no button yes\n"},
      // Answers for the wrong dialog, none, or one no dialog asked for.
      {"answer ViewPortForm ok\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0",
       "s.replay:2: TestForm opened, but the answer queued (line 1) is for ViewPortForm\n"},
      {"\n\ntrigger TestBtn", "cancel 0 0 [] [] [] 0 0", "s.replay:3: TestForm opened with no answer queued\n"},
      {"answer TestForm ok\nstate\ntrigger TestBtn", "", "s.replay:2: the answer of line 1 for TestForm was not asked for\n"},
      {"state\nanswer TestForm ok", "", "s.replay:2: the answer for TestForm was never asked for\n"},
  };
  for (const auto& c : kCases) {
    TMainForm form;
    TestForm dialog(&form);
    std::string shown;
    AddButton(form, "TestBtn", [&] { shown = dialog.run(); });
    const Outcome r = Replay(form, c.script);
    EXPECT_EQ(shown, c.shown) << c.script;
    EXPECT_EQ(r.err, c.err) << c.script;
    EXPECT_EQ(r.code, *c.err ? 1 : 0) << c.script;
  }
}

TEST_F(ReplayTest, ThePrintAndViewportDialogsAndTheUnsavedChangesQuestion) {
  TMainForm form;
  const Outcome r = Replay(form,
                       "answer DruckenForm mmEd=25.39995 RandEd=5 XOffsetEd=-3 ok\n"
                       "trigger Seiteeinrichten1\n"
                       // The inch field moves the millimetres; what is
                       // typed before a cancel is not taken.
                       "answer DruckenForm RxSpinEdit4=2 ok\n"
                       "trigger Seiteeinrichten1\n"
                       "answer DruckenForm RandEd=9 XOffsetEd=7 cancel\n"
                       "trigger Seiteeinrichten1\n"
                       "answer DruckenForm Vorschau\n"
                       "trigger Seiteeinrichten1\n"
                       "tab 1\n"
                       "answer ViewPortForm breiteEd=100 HoeheEd=50 ok\n"
                       "trigger Viewporthinzufgen1\n"
                       "answer message ok\n"
                       "new\n");
  EXPECT_EQ(r.err, "s.replay:13: message has no button ok\n");
  EXPECT_EQ(r.out, "message 7: Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?\n");
  const Editor& e = form.editor();
  EXPECT_EQ(e.print.RandEd, 5);
  EXPECT_EQ(e.print.XOffsetEd, -3);
  EXPECT_NEAR(e.print.mmEd, 2 * kMmPerInch, 1e-4);
  EXPECT_TRUE(e.view.Druckvorschau);
  // Cancelled: the drawing stays, its viewports with it.
  EXPECT_TRUE(e.file.changed);
  // Width and height of every viewport.
  std::vector<std::vector<double>> viewports;
  bool inViewport = false;
  for (std::size_t i = 0; i + 1 < e.drawing.dxf.size(); i += 2) {
    const std::string_view code = Trim(e.drawing.dxf[i]), value = Trim(e.drawing.dxf[i + 1]);
    if (code == "0" && (inViewport = value == "VIEWPORT")) viewports.emplace_back();
    if (inViewport && (code == "40" || code == "41")) viewports.back().push_back(ParseDouble(value).value_or(-1));
  }
  EXPECT_EQ(std::count(viewports.begin(), viewports.end(), std::vector<double>{100, 50}), 1);
}

TEST_F(ReplayTest, MouseAndKeysReachTheWidgetsAsAUsersWould) {
  TMainForm form;
  std::string seen;
  // What the drawing area is given, with the keys held as the event and as
  // the application tell them.
  struct Recorder : QObject {
    std::string& seen;
    explicit Recorder(std::string& s) : seen(s) {}
    bool eventFilter(QObject*, QEvent* e) override {
      auto mods = [](Qt::KeyboardModifiers m) {
        return std::string(m & Qt::ShiftModifier ? "S" : "") + (m & Qt::ControlModifier ? "C" : "");
      };
      auto buttons = [](Qt::MouseButtons b) {
        return std::string(b & Qt::LeftButton ? "L" : "") + (b & Qt::RightButton ? "R" : "");
      };
      const char* kind = e->type() == QEvent::MouseMove              ? "move"
                         : e->type() == QEvent::MouseButtonPress     ? "press"
                         : e->type() == QEvent::MouseButtonRelease   ? "release"
                         : e->type() == QEvent::MouseButtonDblClick ? "dbl"
                         : e->type() == QEvent::Wheel                ? "wheel"
                                                                     : nullptr;
      if (!kind) return false;
      const auto* p = static_cast<QSinglePointEvent*>(e);
      seen += std::string(kind) + " " + std::to_string(int(p->position().x())) + "," +
              std::to_string(int(p->position().y())) + " " + buttons(p->button()) + "[" + buttons(p->buttons()) +
              "]";
      if (e->type() == QEvent::Wheel) seen += std::to_string(static_cast<QWheelEvent*>(e)->angleDelta().y());
      seen += " " + mods(p->modifiers()) + "/" + mods(QGuiApplication::keyboardModifiers()) + "; ";
      return false;
    }
  } recorder(seen);
  form.PaintBox1->installEventFilter(&recorder);
  const Outcome r = Replay(form,
                       "click 10 20 right shift\n"
                       "move 30 40 left ctrl\n"
                       "press 30 40\n"
                       "move 50 40\n"
                       "release 50 40\n"
                       "dblclick 5 5\n"
                       "wheel 7 8 down ctrl\n"
                       // The menu item's shortcut takes back the viewport
                       // the layout was given.
                       "tab 1\n"
                       "key ctrl+z\n"
                       "key Escape\n"
                       "tab 0\n"
                       "move @10,20\n"
                       "state\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(seen,
            "move 10,20 [] S/S; press 10,20 R[R] S/S; release 10,20 R[] S/S; "
            "move 30,40 [L] C/C; press 30,40 L[L] /; move 50,40 [L] /; release 50,40 L[] /; "
            "move 5,5 [] /; press 5,5 L[L] /; release 5,5 L[] /; dbl 5,5 L[L] /; release 5,5 L[] /; "
            "move 7,8 [] C/C; wheel 7,8 []-120 C/C; "
            "move " + [&] {
              const Point2 p = WindowTransform(form.editor().views).toPixel(10, 20);
              return std::to_string(int(p.x)) + "," + std::to_string(int(p.y));
            }() + " [] /; ");
  EXPECT_EQ(QGuiApplication::keyboardModifiers(), Qt::NoModifier);
  EXPECT_NE(r.out.find("undo: 0\nmodified: 1\n"), std::string::npos) << r.out;
  // The pointer's drawing coordinates, back from its pixel: within a pixel.
  const QString status = form.StatusBar1->currentMessage();
  const double pixel = 100 / form.editor().view.zoomedvalue;
  EXPECT_NEAR(status.section(", ", 0, 0).toDouble(), 10, pixel) << status.toStdString();
  EXPECT_NEAR(status.section(", ", 1, 1).toDouble(), 20, pixel) << status.toStdString();
}

TEST_F(ReplayTest, PopupMenusDoNotHoldTheScriptUp) {
  TMainForm form;
  QMenu popup(&form);
  std::string log;
  QAction* pick = popup.addAction("Nimm");
  pick->setObjectName("PickMe");
  QObject::connect(pick, &QAction::triggered, [&] { log += "picked "; });
  AddButton(form, "ExecBtn", [&] { log += popup.exec(QPoint(5, 5)) ? "chosen " : "none "; });
  AddButton(form, "PopupBtn", [&] { popup.popup(QPoint(5, 5)); });
  AddButton(form, "LookBtn", [&] { log += popup.isVisible() ? "open " : "closed "; });
  const Outcome r = Replay(form, "trigger ExecBtn\ntrigger PickMe\ntrigger PopupBtn\ntrigger PickMe\ntrigger LookBtn");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(log, "none picked picked closed ");
}

TEST_F(ReplayTest, APictureOfTheDrawingAreaWithTheRubberBand) {
  const test::TempDir tmp;
  TMainForm form;
  AddButton(form, "BandBtn", [&] { form.editor().AddRubberBand(0, 150, 399, 150); });
  const std::string plain = tmp.path("plain.png"), band = tmp.path("band.png");
  const Outcome r = Replay(form, "png " + plain + "\ntrigger BandBtn\npng " + band + "\nstate");
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("anzrem: 1\n"), std::string::npos) << r.out;
  const QImage before(QString::fromStdString(plain)), after(QString::fromStdString(band));
  ASSERT_EQ(before.size(), QSize(400, 300));
  ASSERT_EQ(after.size(), QSize(400, 300));
  int changed = 0;
  for (int x = 0; x < 400; ++x) changed += before.pixel(x, 150) != after.pixel(x, 150);
  EXPECT_EQ(changed, 400);
  for (int y : {0, 149, 151, 299}) EXPECT_EQ(before.pixel(200, y), after.pixel(200, y)) << y;
}

// A line that changes the view waits for the exact picture: the next line
// sees it, and `timing` tells when the moved and the exact one were shown.
TEST_F(ReplayTest, TheLinesAfterAStepOfTheViewSeeTheExactPicture) {
  const test::TempDir tmp;
  TMainForm form;
  const std::string shot = tmp.path("view.png");
  const Outcome r = Replay(form, "open " + test::OwnDrawing("gear.dxf") +
                                     "\nwheel 130 90 up\ntiming\n"
                                     "press 200 150 middle\nmove 223 161 middle\ntiming\n"
                                     "png " + shot + "\nrelease 223 161 middle");
  EXPECT_EQ(r.err, "");
  const std::regex line(R"(timing: first=(\d+\.\d{3}) exact=(\d+\.\d{3})\n)");
  int timings = 0;
  for (auto m = std::sregex_iterator(r.out.begin(), r.out.end(), line); m != std::sregex_iterator(); ++m, ++timings)
    EXPECT_LE(std::stod((*m)[1]), std::stod((*m)[2])) << r.out;
  EXPECT_EQ(timings, 2) << r.out;
  Editor& e = form.editor();
  QImage whole(400, 300, QImage::Format_RGB32);
  PaintBox1Paint(whole, e.drawing, e.view, e.print, form.PrinterPageSize(), form.PaintBox1->logicalDpiX());
  EXPECT_TRUE(QImage(QString::fromStdString(shot)).convertToFormat(QImage::Format_RGB32) == whole);
}

TEST_F(ReplayTest, ALineThatCannotRunStopsTheReplay) {
  const struct {
    const char* script;
    const char* err;
  } kCases[] = {
      {"trigger Nix", "s.replay:1: there is no button or menu item Nix\n"},
      {"trigger Rckgngig1", "s.replay:1: Rckgngig1 cannot be used now\n"},
      {"combo LayerCombo 0\ncombo LayerCombo nix", "s.replay:2: LayerCombo: it has no item \"nix\"\n"},
      {"tab 2", "s.replay:1: there is no tab 2 (there are 2)\n"},
      {"click 400 10", "s.replay:1: the point 400 10 lies outside the drawing area 400x300\n"},
      {"wheel 10 -1 up", "s.replay:1: the point 10 -1 lies outside the drawing area 400x300\n"},
      {"open /nonexistent/a.dxf", "s.replay:1: there is no file /nonexistent/a.dxf\n"},
      {"save", "s.replay:1: QFileDialog opened with no answer queued\n"},
      {"trigger Beenden1\nstate", "s.replay:2: the window is closed\n"},
  };
  for (const auto& c : kCases) {
    TMainForm form;
    const Outcome r = Replay(form, c.script);
    EXPECT_EQ(r.err, c.err) << c.script;
    EXPECT_EQ(r.code, 1) << c.script;
  }
}

}  // namespace
}  // namespace vestrel
