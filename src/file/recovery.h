// Crash recovery: while the drawing has changes that are not saved, a
// record of them lies in the per-user folder ("recovery/"), from which the
// next start can make the drawing again exactly, with its undo history.
//
// A record is the drawing it starts from, its base (the file it was opened
// from or last saved to: its name, identity and a hash of its lines; a
// drawing never saved: its lines themselves), then every change of the
// lines as the journal tells it: steps and their splices, undo and redo,
// the lines overwritten outside the steps. A step made before the record
// began (before the last save) that is taken back or done again is recorded
// as its splices, and the history held so far is forgotten then: what is
// drawn is always made again exactly, the undo history as far as it reaches
// back to the record's base. It is begun at the first change
// after the drawing was opened, made or saved, appended to as the changes
// come, handed to the system at every Flush in one write (the window flushes
// twice a second), which puts it on the disk at once without the program
// waiting for it (a flush of a megabyte or more: within the system's own
// seconds), and removed when the drawing is saved or dropped on purpose. A
// record whose program still runs holds a lock on it; one that nobody
// holds was left by a program that ended without dropping it.
//
// The file: "VESTREL RECOVERY 1\n", then records of a 32-bit length (of
// what follows), a type byte and their fields (little-endian numbers; texts
// as a 32-bit length and their bytes). Each flush ends with a record of its
// own holding a 64-bit check of all the flush wrote before it. Reading
// stops at the first record that is not whole or not sound, or at a flush
// whose check fails: what came before up to the end of the last sound
// flush is recovered.
#pragma once

#include <cstdint>
#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "document/journal.h"
#include "file/dxffile.h"

namespace vestrel {

// A 64-bit hash of the lines, each with its end: whether a file holds what
// a record was begun from.
std::uint64_t LinesHash(const LineList& lines);

// What a record says.
struct Recovery {
  // The base: a file, or the lines of a drawing never saved.
  bool fromFile = false;
  std::string path;
  FileIdentity identity;
  std::uint64_t hash = 0;
  TextEncoding encoding = TextEncoding::Utf8;
  std::vector<std::string> lines;  // a drawing never saved
  std::int64_t began = 0;          // seconds since 1970
  // The changes, as the journal told them.
  struct Event {
    char type = 0;
    std::int32_t at = 0, count = 0;
    std::uint64_t number = 0;  // the largest handle written; the check of a flush
    std::vector<std::string> texts;
    std::size_t end = 0;  // where it ends in the file
  };
  std::vector<Event> events;  // up to the end of the last flush
  std::size_t baseEnd = 0;    // where the base ends in the file
  // Whether anything follows the last whole flush.
  bool damaged = false;
  bool based() const { return baseEnd > 0; }
  // Where the record ends after `played` of its events.
  std::size_t endAfter(std::size_t played) const { return played ? events[played - 1].end : baseEnd; }
};

// The record in `bytes` as far as it is sound and ends with a flush; no
// base (`based()` false) when even that is damaged.
Recovery ReadRecovery(std::string_view bytes);

// Makes the drawing of the record on `dxf` (its base) and `j` (empty):
// at most `most` of its events played as they were made, the steps into the
// journal. Stops at the first change that does not fit the lines; returns
// how many were played.
std::size_t ReplayRecovery(const Recovery& r, LineList& dxf, Journal& j, std::size_t most = SIZE_MAX);
// The events of the record that end whole flushes, up to `played`: what a
// drawing made of the record holds.
std::size_t WholeFlushes(const Recovery& r, std::size_t played);

// The record this program keeps of its drawing.
class RecoveryLog : public JournalListener {
 public:
  // Records in `folder` (".../Vestrel/recovery/", made private when
  // missing); none when it is empty.
  explicit RecoveryLog(std::string folder);
  ~RecoveryLog() override;
  RecoveryLog(const RecoveryLog&) = delete;
  RecoveryLog& operator=(const RecoveryLog&) = delete;

  // Listens to `j`.
  void Attach(Journal& j);
  // Writes what was recorded since the last flush, in one write, and starts
  // it on its way to the disk. The first error is kept (`error`), and the
  // record is given up: nothing more is written until the drawing starts
  // anew.
  void Flush();
  // The drawing was saved, or dropped on purpose: the record goes.
  void Discard();
  // Takes over the record `path`, whose program ended, for the drawing that
  // was just made from it with `played` of its events: they stay, and the
  // record goes on from there.
  bool Adopt(const std::string& path, const Recovery& r, std::size_t played, const LineList& lines);

  // The records in the folder that no running program holds, the newest
  // first.
  std::vector<std::string> Orphans() const;
  // The file of the record kept now; empty while there is none.
  const std::string& file() const { return file_; }
  FileError error() const { return error_; }

  void StepBegun() override;
  void Inserted(std::int32_t at, const std::vector<std::string>& lines) override;
  void Overwritten(std::int32_t at, std::string_view text) override;
  void Erased(std::int32_t at, std::int32_t count) override;
  void Undoing(const tundo& step) override;
  void Redoing(const tundo& step) override;
  void Kept(std::int32_t at, std::string_view text) override;
  void Restarted(const LineList& lines, const std::string& path) override;
  void Saving(const std::string& path) override;

 private:
  // Begins the record at the first change: false when it cannot be kept.
  bool begin();
  // The last step taken back (`backwards`) or done again: the record's own
  // undo or redo, or its splices.
  void moved(const tundo& step, bool backwards);
  // The splices of a step played without the journal (a step the record
  // does not hold: made before it began).
  void played(const tundo& step, bool backwards);

  std::string folder_;
  std::string file_;      // the record's file, while there is one
  int fd_ = -1;           // open and locked while there is one
  Journal* journal_ = nullptr;
  const LineList* base_ = nullptr;  // the lines the record begins from
  std::string basePath_;
  FileIdentity baseIdentity_;
  bool given_up = false;  // this drawing's record could not be kept
  std::string pending_;   // recorded, not yet written
  std::size_t checkFrom_ = 0;  // where what the next flush's check covers begins in it
  // Whether each step of the journal is one the record holds (made after
  // it began), for the undo and redo lists.
  std::vector<bool> heldUndos_, heldRedos_;
  Handle handlesWritten_ = 0;
  FileError error_ = FileError::None;
};

}  // namespace vestrel
