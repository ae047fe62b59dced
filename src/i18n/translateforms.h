// Every visible text of every control, for translating all windows at
// start and for looking at what they show: window captions, labels,
// buttons, group boxes, menus and their items, hints, combo-box items, the
// headings of lists and grids, edit and memo contents.
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

class QObject;

namespace vestrel {

// The property of a control whose items are names from the drawing (layer
// and line-type names, layout tabs): they are never translated.
inline constexpr char kNotTranslated[] = "documentText";

// Calls `text` for every text that is not empty of every control below
// `roots`, breadth-first over the ownership tree, and puts back what it
// returns. `where` is the control the text belongs to.
using FormTextFunction = std::function<QString(const QString& text, const QObject& where)>;
void ForEachFormText(const QList<QObject*>& roots, const FormTextFunction& text);

// Translates every text of the windows below `roots` with `translate`.
void TranslateAllForms(const QList<QObject*>& roots, const std::function<std::string(std::string_view)>& translate);

// Qt's own texts (the buttons of message boxes, the file and print dialogs)
// in language `language` of the menu "Sprache", from the translations Qt
// ships; Qt's English where it ships none. False when none was found.
bool InstallQtTranslations(int language);

}  // namespace vestrel
