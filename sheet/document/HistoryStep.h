#pragma once
// One step of a sheet document's history: the changes of one user action,
// each held as the other version of what it changed. Undo and redo both
// exchange the versions with the sheet's, so a step costs one copy of what
// it changed, and it tells what that holds.

#include <cstdint>
#include <variant>
#include <vector>

#include <QUndoCommand>

#include "platform/TextEncoding.h"
#include "sheet/PlacedText.h"
#include "sheet/Sheet.h"

namespace quillary {

class SheetDocument;

// The texts of a rectangle of cells, row by row.
struct CellsVersion {
  int top, left, bottom, right;
  std::vector<SharedText> texts;
};

// The texts of cells scattered over the sheet, and the rectangle they lie in.
struct PlacedVersion {
  int top, left, bottom, right;
  std::vector<PlacedText> cells;
};

// One change: a rectangle of cells, cells scattered over the sheet, the
// whole sheet (for changes of its size), or the encoding the next Save
// writes. Made holding the new version; once made, it holds the old one.
class StepPart {
 public:
  explicit StepPart(CellsVersion cells) : version_(std::move(cells)) {}
  explicit StepPart(PlacedVersion cells) : version_(std::move(cells)) {}
  explicit StepPart(Sheet sheet) : version_(std::move(sheet)) {}
  explicit StepPart(TextEncoding encoding) : version_(encoding) {}

  const CellsVersion* cells() const { return std::get_if<CellsVersion>(&version_); }
  CellsVersion* cells() { return std::get_if<CellsVersion>(&version_); }
  const Sheet* sheet() const { return std::get_if<Sheet>(&version_); }
  Sheet* sheet() { return std::get_if<Sheet>(&version_); }
  const PlacedVersion* placed() const { return std::get_if<PlacedVersion>(&version_); }
  PlacedVersion* placed() { return std::get_if<PlacedVersion>(&version_); }
  TextEncoding* encoding() { return std::get_if<TextEncoding>(&version_); }

  // Makes the cells the part writes the sheet's own (copying what other
  // copies of the sheet share), so that writing them then cannot fail.
  void Unshare(Sheet& sheet) const;

  // What letting the part go would free, roughly: the texts nothing else
  // holds, and what holds them.
  std::uint64_t BytesHeldAlone() const;

 private:
  std::variant<CellsVersion, PlacedVersion, Sheet, TextEncoding> version_;
};

// The parts are done in their order and undone in the reverse order. A
// change is already made when its step is pushed: the first redo (which
// QUndoStack::push asks for) finds it done. A forgotten step holds nothing
// and is never undone: Undo stops above it.
class HistoryStep final : public QUndoCommand {
 public:
  explicit HistoryStep(SheetDocument& document) : document_(document) {}

  void redo() override;
  void undo() override;

  // Room for one more part, so that adding it cannot fail once the change
  // is made.
  void MakeRoom();
  void Add(StepPart&& part) noexcept;
  bool Empty() const { return parts_.empty(); }
  // Takes the parts back, newest first (a group that was not committed).
  void TakeBack() noexcept;

  // What the parts held alone when they were made.
  std::uint64_t Bytes() const { return bytes_; }
  bool Forgotten() const { return forgotten_; }
  void Forget();

 private:
  SheetDocument& document_;
  std::vector<StepPart> parts_;
  std::uint64_t bytes_ = 0;
  bool done_ = true;
  bool forgotten_ = false;
};

}  // namespace quillary
