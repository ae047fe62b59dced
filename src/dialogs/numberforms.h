// The dialogs that ask for a few numbers, perhaps with a switch, a choice
// or a note beside them. Each is its caption, its form name and a table of
// rows; one template builds the form from the table, proposes the values
// and gives back what was typed.
#pragma once

#include <QDialog>
#include <QStringList>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/platform.h"

class QFormLayout;

namespace vestrel {

// A row of such a form: its control, named as the value it shows, the
// German label before it (a switch's or a note's own text) and what the
// field takes.
struct NumberRow {
  enum Kind { Decimal, Whole, Choice, Switch, Note } kind;
  const char* name = nullptr;
  const char* label = "";
  double min = 0, max = 0;
  int decimals = 6;
  QStringList items = {};  // a choice's
};

// Builds the rows in their order, which is the tab order too; the OK
// button ("OKBtn", the default) and "Abbrechen" ("AbbrechenBtn") come last.
class NumberFormBase : public QDialog {
 protected:
  NumberFormBase(QWidget* parent, const char* caption, const char* name);

  // The row's control; none for a note.
  QWidget* add(const NumberRow& row);
  void addButtons();
  // Shows the form modally, the first number field focused.
  DialogResult runForm();

  // What a control shows, as a number: a choice its index, a switch 1 or 0.
  static void put(QWidget* control, double value);
  static double take(QWidget* control);

 private:
  QFormLayout* form_;
  QWidget* focus_ = nullptr;
};

template <class Values>
class NumberForm : public NumberFormBase {
 public:
  // Shows the dialog on `values`, which hold what was typed once OK closed
  // it; Cancel leaves them as they were.
  DialogResult Run(Values& values) {
    propose(values);
    const DialogResult result = runForm();
    if (result == DialogResult::Ok)
      for (const Bound& b : bound_) b.set(values, take(b.control));
    return result;
  }

 protected:
  // A row and the value it shows (none for a note).
  struct Row {
    NumberRow row;
    double (*get)(const Values&) = nullptr;
    void (*set)(Values&, double) = nullptr;
  };

  template <double Values::*value>
  static Row Decimal(const char* name, const char* label, double min, double max, int decimals = 6) {
    return Bind<value>({.kind = NumberRow::Decimal, .name = name, .label = label, .min = min, .max = max,
                        .decimals = decimals});
  }
  template <int Values::*value>
  static Row Whole(const char* name, const char* label, int min, int max) {
    return Bind<value>(
        {.kind = NumberRow::Whole, .name = name, .label = label, .min = double(min), .max = double(max)});
  }
  // `value` is the index of the item chosen.
  template <int Values::*value>
  static Row Choice(const char* name, const char* label, QStringList items) {
    return Bind<value>({.kind = NumberRow::Choice, .name = name, .label = label, .items = std::move(items)});
  }
  template <bool Values::*value>
  static Row Switch(const char* name, const char* text) {
    return Bind<value>({.kind = NumberRow::Switch, .name = name, .label = text});
  }
  static Row Note(const char* text) { return {{.kind = NumberRow::Note, .label = text}}; }

  // The form with its rows, showing the values' defaults.
  NumberForm(QWidget* parent, const char* caption, const char* name, std::initializer_list<Row> rows)
      : NumberFormBase(parent, caption, name) {
    for (const Row& r : rows) {
      QWidget* control = add(r.row);
      if (r.get) bound_.push_back({control, r.get, r.set});
    }
    addButtons();
    propose(Values{});
  }

 private:
  template <auto value>
  static Row Bind(NumberRow row) {
    using T = std::remove_reference_t<decltype(std::declval<Values&>().*value)>;
    return {std::move(row), [](const Values& v) { return double(v.*value); },
            [](Values& v, double x) { v.*value = static_cast<T>(x); }};
  }

  struct Bound {
    QWidget* control;
    double (*get)(const Values&);
    void (*set)(Values&, double);
  };

  void propose(const Values& values) {
    for (const Bound& b : bound_) put(b.control, b.get(values));
  }

  std::vector<Bound> bound_;
};

// "Polar": the step of the polar angles, in degrees.
class TPolarForm : public NumberForm<PolarDialogValues> {
  Q_OBJECT
 public:
  explicit TPolarForm(QWidget* parent = nullptr);
};

// "Raster": the spacing of the snap grid, in drawing units.
class TRasterForm : public NumberForm<RasterDialogValues> {
  Q_OBJECT
 public:
  explicit TRasterForm(QWidget* parent = nullptr);
};

// "Vieleck": how many corners a regular polygon has.
class TPolygonForm : public NumberForm<PolygonDialogValues> {
  Q_OBJECT
 public:
  explicit TPolygonForm(QWidget* parent = nullptr);
};

// "Rotationswinkel eingeben": the angle of a rotation typed instead of
// clicked.
class TRotationsForm : public NumberForm<RotationDialogValues> {
  Q_OBJECT
 public:
  explicit TRotationsForm(QWidget* parent = nullptr);
};

// "Skalierungsfaktor eingeben": the factor of a scaling typed instead of
// clicked, in percent.
class TSkalierungForm : public NumberForm<ScaleDialogValues> {
  Q_OBJECT
 public:
  explicit TSkalierungForm(QWidget* parent = nullptr);
};

// "Verbinden": how near the ends of the parts to join must come.
class TJoinForm : public NumberForm<JoinDialogValues> {
  Q_OBJECT
 public:
  explicit TJoinForm(QWidget* parent = nullptr);
};

// "Verlängern": by how much, or to which total length, the clicked ends go.
class TLengthenForm : public NumberForm<LengthenDialogValues> {
  Q_OBJECT
 public:
  explicit TLengthenForm(QWidget* parent = nullptr);
};

// "Parallele": how far from the object its parallels lie, or that they
// pass through a point.
class TOffsetForm : public NumberForm<OffsetDialogValues> {
  Q_OBJECT
 public:
  explicit TOffsetForm(QWidget* parent = nullptr);
};

// "Abrunden": the radius of the fillets.
class TFilletForm : public NumberForm<FilletDialogValues> {
  Q_OBJECT
 public:
  explicit TFilletForm(QWidget* parent = nullptr);
};

// "Array erstellen": columns and rows of copies, their spacing and the
// rotation of the whole array.
class TArrayForm : public NumberForm<ArrayDialogValues> {
  Q_OBJECT
 public:
  explicit TArrayForm(QWidget* parent = nullptr);
};

// "Fasen": how far the chamfer cuts back along the first and along the
// second object.
class TChamferForm : public NumberForm<ChamferDialogValues> {
  Q_OBJECT
 public:
  explicit TChamferForm(QWidget* parent = nullptr);
};

}  // namespace vestrel
