// The drawing as a file: new from a template, open, save, save as, the
// unsaved-changes question, the file changed by others since, the lock of
// an open drawing and the window caption. These ask and tell the user
// through the platform (questions, file dialogs, failures); showing the
// result is the caller's.
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

// The drawing is now one of the file `name` as it stands (of none when it
// is empty), made otherwise than by opening it (recovered from its
// record): the file noted, to tell later changes by others, and locked.
void BelongTo(DocumentContext& c, Platform& p, const std::string& name);

bool SaveFileUnder(DocumentContext& c, Platform& p, const std::string& name);
bool SaveTheFile(DocumentContext& c, Platform& p);
// Saves under the current name, or asks for one when there is none. A
// file that another program changed since it was opened or saved is not
// written over: the user is asked what to do about it first.
bool SaveFile(DocumentContext& c, Platform& p);
// Saves under a name chosen in the save dialog.
void SaveFileAs(DocumentContext& c, Platform& p);

// Whether the drawing's file is still the one opened or saved last.
enum class DiskState { Same, Changed, Removed };
DiskState DiskStateOf(const FileState& file);
// Whether the file was changed or removed since, and the user was not
// asked about this very change yet.
bool DiskChangeUntold(const FileState& file);
// Asks the user what to do about the file changed or removed since, and
// does it: the file loaded anew, or the drawing saved again or under
// another name; keeping on editing writes nothing. True when the drawing
// was saved.
bool AnswerDiskChange(DocumentContext& c, Platform& p);

}  // namespace vestrel
