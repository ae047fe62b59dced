// The drawing as a file: new from a template, open, save, save as, the
// unsaved-changes question and the window caption. These ask and tell the
// user through the platform (questions, file dialogs, failures); showing
// the result is the caller's.
#pragma once

#include <string>
#include <string_view>

#include "file/context.h"
#include "platform/platform.h"

namespace vestrel {

inline constexpr std::string_view kTemplateNew = "template1.dat";  // "Neue DXF Datei "
inline constexpr std::string_view kTemplateR12 = "template0.dat";  // "Neue DXF Datei (R12 ...)"

// The window caption: "Vestrel - [name]", with "*" while changed; a drawing
// never saved is called `unnamed`.
std::string Caption(const FileState& file, std::string_view unnamed);

// The unsaved-changes question before anything that would drop the
// drawing. Returns whether to go on.
bool AskToSave(DocumentContext& c, Platform& p);

// Loads a file as the drawing, without history. On failure the user is
// told why, and the drawing and its history stay as they were.
bool openfilewithname(DocumentContext& c, Platform& p, const std::string& name);
// A new, unnamed drawing from a template, after the question; false when
// the user cancelled it.
bool NewDrawing(DocumentContext& c, Platform& p, std::string_view templateName);

bool SaveFileUnder(DocumentContext& c, Platform& p, const std::string& name);
bool SaveTheFile(DocumentContext& c, Platform& p);
// Saves under the current name, or asks for one when there is none.
bool SaveFile(DocumentContext& c, Platform& p);
// Saves under a name chosen in the save dialog.
void SaveFileAs(DocumentContext& c, Platform& p);

}  // namespace vestrel
