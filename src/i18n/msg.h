// The numbers of the program's messages. The German texts, the dictionary
// and stored translations (translate.dat) key on these numbers, so a number
// keeps its meaning for good; 4, 5, 35 and 68 to 71 are not in use.
// The header stands alone: every layer that shows a message names it here.
#pragma once

namespace vestrel::msg {

enum Nr : int {
  OpenFailed = 1,  // "Konte die folgende Datei nicht öffnen: ", shown nowhere
  Restart = 2,
  Translate = 3,
  CannotWrite = 6,
  NotSaved = 7,
  Save = 8,
  NoLineWeights = 9,
  NoSplines = 10,
  DxfFile = 11,
  NoEllipses = 12,
  NoXLines = 13,
  Red = 14,  // the colours 1 to 9 of the layer list, in order
  Yellow = 15,
  Green = 16,
  LightBlue = 17,
  Blue = 18,
  Pink = 19,
  Black = 20,
  Grey = 21,
  LightGrey = 22,
  Invisible = 23,
  Visible = 24,
  Locked = 25,
  Unlocked = 26,
  LayerExists = 27,
  NoLayerName = 28,
  LineTypeExists = 29,
  NoLengths = 30,
  NoLineTypeName = 31,
  CannotOpen = 32,
  NoRays = 33,
  Unnamed = 34,
  FirstLineOnly = 36,
  NoLeaders = 37,  // shown nowhere
  NoInsertionPoint = 38,
  InvalidValue = 39,
  NoHandleLeft = 40,
  OutOfMemory = 41,
  BadLayerName = 42,
  DamagedDictionary = 43,
  OptionsNotSaved = 44,
  GoOnSearching = 45,
  DeleteEntry = 46,
  MacroNotSaved = 47,
  MacroStopped = 48,
  NotANumber = 49,
  BadFactor = 50,
  BadArraySize = 51,
  ArrayTooLarge = 52,
  ChangedOnDisk = 53,
  RemovedOnDisk = 54,
  OpenElsewhere = 55,
  Recover = 56,
  OriginalChanged = 57,
  CannotRecover = 58,
  NothingToRecover = 59,
  DamagedRecord = 60,
  CannotRecord = 61,
  BadLineTypeName = 62,
  ControlCharacter = 63,
  NoMirrorAxis = 64,
  ZeroAxis = 65,
  CellTooLong = 66,
  MacroUnreadable = 67,
  MakingArray = 72,
  EntryEmpty = 73,  // the command field KoordEd
  EntryNotAPoint = 74,
  EntryAmbiguous = 75,
  EntryTooFar = 76,
  NoLastPoint = 77,
  BadAidValue = 78,  // the grid's spacing or the polar step
  NothingToJoin = 79,
  CannotJoin = 80,  // followed by the kind
  CannotExplode = 81,
  JoinedApart = 82,  // followed by how many
  NoLengthToExplode = 83,
  MeasuredDistance = 84,  // "Messen": the results, %1 ... filled in
  MeasuredAngle = 85,
  MeasuredArea = 86,
  NoArea = 87,       // followed by the kind that does not close
  NoLength = 88,     // followed by the kind that has no length
  NoAngle = 89,
  CannotTrim = 90,       // followed by the kind
  NothingToCut = 91,
  NoBoundaryAhead = 92,
  NothingClicked = 93,
  CannotExtend = 94,     // followed by the kind
  CannotOffset = 95,  // "Parallele": followed by the kind
  OffsetVanished = 96,
  OffsetOnObject = 97,
  CannotFillet = 100,  // followed by the kind
  CannotChamfer = 101,
  ParallelLines = 102,
  CornerTooLarge = 103,
  NoCornerHere = 104,
  CannotBreak = 105,     // followed by the kind
  CannotLengthen = 106,  // followed by the kind
  NothingWouldRemain = 107,
  ArcWouldClose = 108,
  NoBreakHere = 109,
  CannotExplodeDistorted = 110,  // "Zerlegen": followed by the kind
  MissingBlock = 111,            // followed by the block's name
  ExplodeTooLarge = 112,
  // 113 to 116: the cut repair
  CutRepaired = 113,     // what it did: duplicates, overlaps, ends, contours, gaps
  NothingToRepair = 114,
  // 117 to 122: "Zuschnitt prüfen"
  CutRowsLeftOut = 117,  // below a list of the check's dialog: %1 rows more not shown
  // 126 to 130: whether a drawing is ready to cut
  ReadyToCut = 126,
  NotReadyToCut = 127,
  CutCheckLabels = 128,  // the kinds of findings, then "Teil" and "Gesamt", separated by ";"
  CutFindingLine = 129,     // one finding: kind, x, y, its figure, the object's kind
  CutFiguresLine = 130,     // a part or the total: its label, cut length, pierces, area, box
};

}  // namespace vestrel::msg
