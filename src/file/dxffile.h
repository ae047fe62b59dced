// Reading a drawing file into a line list and writing it back, and why
// that did not work when it did not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/linelist.h"

namespace vestrel {

enum class FileError {
  None,          // it worked
  NotFound,      // no such file or folder
  NoPermission,  // the system refuses access
  IsFolder,
  NotRegular,    // a device, FIFO or socket
  TooLarge,      // beyond what a drawing can hold, or than memory holds
  NoSpace,       // the device is full
  ReadOnly,      // the file is marked read-only
  BinaryDxf,     // the binary form of DXF
  BinaryData,    // zero bytes: no text at all
  NotDxf,        // text, but no group codes
  OddUtf16,      // UTF-16 with an odd number of bytes
  IoError,       // anything else the system reports
  OutOfMemory,   // the drawing does not fit into memory
  SizeLimit,     // larger than the system lets this program make a file
  NameTooLong,   // a name or path longer than the system takes
};

// Why, in the program's German, for the message boxes; and in English for
// the command line.
std::string_view FileErrorText(FileError e);
std::string_view FileErrorEnglish(FileError e);

// Reads the whole drawing file at `path` into `lines` (encoding as the file
// says). A file that is not DXF text (binary DXF, zero bytes, no group
// code) is refused. On failure `lines` is left as it was.
FileError ReadDxfFile(const std::string& path, LineList& lines);

// Writes every line followed by CR LF, in the encoding the lines were read
// with. A failed or killed save leaves the old file as it was, or else a
// whole copy of the new text (see below).
//
// Saving through symbolic links writes the file the last of them points
// to, made there when it does not exist yet; the links stay. A target that
// this user may not write is refused: ReadOnly when it is marked
// read-only (for the administrator too), NoPermission when it is someone
// else's to write.
//
// The text goes to a temporary file first, made with the target's
// permissions, which then replaces the target when it can stand for it
// whole: with the target's owner, group and permissions, in a folder that
// lets this user replace the target, and where the target has no other
// names (hard links). Otherwise the target is written in place and keeps
// its inode, links, owner and group: the finished temporary file is named
// "NAME.vestrel-copy-PID.EXT" before the first byte of the target changes,
// and removed once the target is whole; a save killed meanwhile leaves it
// there, never removed by another save. Where the target's folder takes no
// new file, that copy goes into `spareFolder` (made when missing); without
// one, such a save is refused as NoPermission.
//
// A temporary file that a killed save of the same target left behind is
// removed.
FileError WriteDxfFile(const std::string& path, const LineList& lines, const std::string& spareFolder = {});

// The same for any file: `bytes` replace the file at `path` whole, or
// not at all.
FileError WriteWholeFile(const std::string& path, std::string_view bytes);

// Reads the whole file at `path` into `bytes`; a file larger than
// `maxBytes` is refused as TooLarge, and anything but a regular file (a
// folder, a device, a FIFO) as IsFolder or NotRegular, before anything is
// read. On failure `bytes` is left as it was.
FileError ReadWholeFile(const std::string& path, std::string& bytes, std::uintmax_t maxBytes);

// What tells a file from what it was: its size, its time of last change and
// its inode on its device. Two readings of one name agree while nobody
// rewrote, replaced or removed the file in between. A save in place keeps
// the inode but changes the time of last change (by a nanosecond itself
// when the system's clock has not moved on and this user owns the file).
struct FileIdentity {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t mtimeNs = 0;  // nanoseconds since 1970
  std::uint64_t inode = 0, device = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path`, links followed; `exists` false when
// there is no such file.
FileIdentity IdentityOf(const std::string& path);

// The start of the names of the temporary files of saves of the file named
// `name` (beside it, or in the spare folder): ".NAME.vestrel-save."
// followed by the saving process's id. NAME is cut short where the whole
// name would not fit the system's 255 bytes.
std::string SaveTemporaryPrefix(const std::string& name);

}  // namespace vestrel
