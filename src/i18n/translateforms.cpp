#include "i18n/translateforms.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QQueue>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>
#include <array>
#include <memory>

#include "i18n/dictionary.h"

namespace vestrel {

namespace {

// The tool tip Qt makes of an action's text when it is given none.
QString StrippedText(QString s) {
  s.remove(QStringLiteral("..."));
  for (qsizetype i = 0; i < s.size(); ++i)
    if (s[i] == '&') s.remove(i, 1);
  return s.trimmed();
}

class Walk {
 public:
  explicit Walk(const FormTextFunction& f) : f_(f) {}

  void object(QObject* o) {
    if (auto* a = qobject_cast<QAction*>(o)) return action(*a);
    if (auto* w = qobject_cast<QWidget*>(o)) widget(*w);
  }

 private:
  QString text(const QString& s, const QObject& where) { return s.isEmpty() ? s : f_(s, where); }

  // Reads the text with `get`, sets what it becomes with `set`.
  template <class Get, class Set>
  void change(const QObject& where, Get get, Set set) {
    const QString before = get();
    if (before.isEmpty()) return;
    const QString after = text(before, where);
    if (after != before) set(after);
  }

  void action(QAction& a) {
    // A menu's own action is its title; a separator has no text.
    if (a.isSeparator() || a.menu<QMenu*>() || a.property(kNotTranslated).toBool()) return;
    // A tool tip that was not given follows the text; one that was given
    // stays when the text changes.
    const QString text = a.text(), tip = a.toolTip();
    change(a, [&] { return a.text(); }, [&](const QString& s) { a.setText(s); });
    change(a, [&] { return a.statusTip(); }, [&](const QString& s) { a.setStatusTip(s); });
    const bool follows = a.text() == text ? tip == StrippedText(text) : a.toolTip() != tip;
    if (!follows) change(a, [&] { return tip; }, [&](const QString& s) { a.setToolTip(s); });
  }

  void widget(QWidget& w) {
    // A tool button shows its action, which is translated itself.
    if (auto* b = qobject_cast<QToolButton*>(&w); b && b->defaultAction()) return;
    change(w, [&] { return w.toolTip(); }, [&](const QString& s) { w.setToolTip(s); });
    // A control of names has its hint translated, nothing else.
    if (w.property(kNotTranslated).toBool()) return;
    if (w.isWindow()) change(w, [&] { return w.windowTitle(); }, [&](const QString& s) { w.setWindowTitle(s); });
    change(w, [&] { return w.statusTip(); }, [&](const QString& s) { w.setStatusTip(s); });
    if (auto* l = qobject_cast<QLabel*>(&w)) {
      change(w, [&] { return l->text(); }, [&](const QString& s) { l->setText(s); });
    } else if (auto* b = qobject_cast<QAbstractButton*>(&w)) {
      change(w, [&] { return b->text(); }, [&](const QString& s) { b->setText(s); });
    } else if (auto* g = qobject_cast<QGroupBox*>(&w)) {
      change(w, [&] { return g->title(); }, [&](const QString& s) { g->setTitle(s); });
    } else if (auto* m = qobject_cast<QMenu*>(&w)) {
      change(w, [&] { return m->title(); }, [&](const QString& s) { m->setTitle(s); });
    } else if (auto* e = qobject_cast<QLineEdit*>(&w)) {
      // Not the edit inside a spin box or a combo box: that holds a value.
      if (!qobject_cast<QAbstractSpinBox*>(w.parent()) && !qobject_cast<QComboBox*>(w.parent())) {
        change(w, [&] { return e->text(); }, [&](const QString& s) { e->setText(s); });
        change(w, [&] { return e->placeholderText(); }, [&](const QString& s) { e->setPlaceholderText(s); });
      }
    } else {
      items(w);
    }
  }

  // What a control lists: combo-box items, memo lines, tabs, the headings
  // of grids and lists.
  void items(QWidget& w) {
    if (auto* c = qobject_cast<QComboBox*>(&w)) {
      for (int i = 0; i < c->count(); ++i)
        change(w, [&] { return c->itemText(i); }, [&](const QString& s) { c->setItemText(i, s); });
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(&w)) {
      memo(*m);
    } else if (auto* t = qobject_cast<QTabWidget*>(&w)) {
      for (int i = 0; i < t->count(); ++i)
        change(w, [&] { return t->tabText(i); }, [&](const QString& s) { t->setTabText(i, s); });
    } else if (qobject_cast<QTableView*>(&w) || qobject_cast<QTreeView*>(&w)) {
      headings(*static_cast<QAbstractItemView*>(&w));
    }
  }

  void memo(QPlainTextEdit& m) {
    QStringList lines = m.toPlainText().split('\n');
    bool changed = false;
    for (QString& line : lines) {
      const QString t = text(line, m);
      changed |= t != line;
      line = t;
    }
    if (changed) m.setPlainText(lines.join('\n'));
  }

  // The column headings of a list or a grid.
  void headings(QAbstractItemView& v) {
    QAbstractItemModel* model = v.model();
    if (!model) return;
    for (int c = 0; c < model->columnCount(); ++c)
      change(v, [&] { return model->headerData(c, Qt::Horizontal).toString(); },
             [&](const QString& s) { model->setHeaderData(c, Qt::Horizontal, s); });
  }

  const FormTextFunction& f_;
};

}  // namespace

void ForEachFormText(const QList<QObject*>& roots, const FormTextFunction& text) {
  Walk walk(text);
  QQueue<QObject*> queue;
  QSet<QObject*> seen;
  for (QObject* r : roots) queue.enqueue(r);
  while (!queue.isEmpty()) {
    QObject* o = queue.dequeue();
    if (!o || seen.contains(o)) continue;
    seen.insert(o);
    walk.object(o);
    for (QObject* child : o->children()) queue.enqueue(child);
  }
}

void TranslateAllForms(const QList<QObject*>& roots, const std::function<std::string(std::string_view)>& translate) {
  ForEachFormText(roots, [&](const QString& s, const QObject&) {
    const QByteArray utf8 = s.toUtf8();
    return QString::fromStdString(translate(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))));
  });
}

bool InstallQtTranslations(int language) {
  // The translations for each language of the menu, best first: Qt has
  // Portuguese only as spoken in Brazil.
  static constexpr std::array<std::array<const char*, 2>, kLanguages> kQtNames{{
      {"de", nullptr}, {"en", nullptr}, {"it", nullptr}, {"fr", nullptr}, {"es", nullptr},
      {"ru", nullptr}, {"pt", "pt_BR"}, {"nl", nullptr}, {"pl", nullptr}, {"cs", nullptr},
  }};
  static QTranslator* installed = nullptr;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  if (language < 0 || language >= kLanguages) return false;
  auto translator = std::make_unique<QTranslator>();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* name : kQtNames[static_cast<std::size_t>(language)]) {
    if (!name || !translator->load(QString("qtbase_") + name, folder)) continue;
    QCoreApplication::installTranslator(translator.get());
    installed = translator.release();
    return true;
  }
  return false;
}

}  // namespace vestrel
