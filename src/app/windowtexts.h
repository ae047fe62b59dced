// The texts the window shows: those of its forms, and those it shows only
// now and then (status-bar notes, file-dialog filters, reasons after a
// message). The translation dictionary must know every one of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vestrel {

class TMainForm;

inline constexpr std::string_view kNotAllDrawn =
    "Nicht alles ist gezeichnet: die Blockreferenzen gehen zu tief oder zeichnen zu viel.";
inline constexpr std::string_view kFirstTabsOnly = "Die Zeichnung hat %1 Layouts; die Reiter zeigen die ersten %2.";
inline constexpr std::string_view kOpenFilter = "DXF-Dateien (*.dxf)";
inline constexpr std::string_view kSaveFilter = "DXF Dateien (*.dxf)";
inline constexpr std::string_view kPdfFilter = "PDF (*.pdf)";
// The buttons of the question about the drawing's file changed by others.
inline constexpr std::string_view kReload = "Neu laden";
inline constexpr std::string_view kSaveAgain = "Speichern";
inline constexpr std::string_view kKeepEditing = "Weiter bearbeiten";
inline constexpr std::string_view kSaveUnder = "Speichern unter...";
// The status bar beside the pointer: the point the pointer is caught at
// (by an object snap, named by its item in "Fang", or by the nearest drawn
// point), the rubber band from the last fixed point, the selection.
inline constexpr std::string_view kCaughtPoint = "Fangpunkt";
inline constexpr std::string_view kBandLength = "Länge %1, Winkel %2°";
inline constexpr std::string_view kSelectedCount = "Gewählt: %1";
inline constexpr std::string_view kSelectedLength = "Gewählt: %1, Länge %2";

// Every text `form` and its dialogs show, as the dictionary holds it
// (without leading and trailing blanks), each once: the messages first,
// then the forms' texts in the order of the translation walk, then the
// texts shown now and then. `form` is best shown in German, with a drawing.
std::vector<std::string> ShownTexts(TMainForm& form);

}  // namespace vestrel
