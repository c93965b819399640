#pragma once
// Undo and redo of the frame table: every state the table went through, so
// that a segment click, a fill, a label, a paste, a new project, an open or a
// read can be taken back and done again.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "SegmentPattern.h"

namespace varo {

// The frame table with the floor range it was built for.
struct FrameTableState {
  std::vector<SegmentPattern> Frames;
  uint8_t FirstFloorIndex = 8;
  uint8_t FrameCount = 16;
  uint8_t LastFloorIndex = 14;

  bool operator==(const FrameTableState& o) const {
    return Frames == o.Frames && FirstFloorIndex == o.FirstFloorIndex && FrameCount == o.FrameCount &&
           LastFloorIndex == o.LastFloorIndex;
  }
  bool operator!=(const FrameTableState& o) const { return !(*this == o); }
};

class FrameHistory {
 public:
  static constexpr size_t DefaultLimit = 200;
  explicit FrameHistory(size_t limit = DefaultLimit);

  // Forgets every step; `current` is where undo stops.
  void Reset(const FrameTableState& current);
  // Called after every change of the table: records a step when `now`
  // differs from the state last seen, and drops what could be redone.
  // Returns whether a step was recorded.
  bool Note(const FrameTableState& now);

  // The state to restore, or nothing when there is no step.
  std::optional<FrameTableState> Undo();
  std::optional<FrameTableState> Redo();

  size_t UndoCount() const { return Past_.size(); }
  size_t RedoCount() const { return Future_.size(); }
  const FrameTableState& Current() const { return Current_; }

 private:
  size_t Limit_;
  std::deque<FrameTableState> Past_;
  std::vector<FrameTableState> Future_;
  FrameTableState Current_;
};

// The first frame that differs between two tables of the same range, where
// the eye should go after an undo; 0 when the ranges differ or nothing does.
size_t FirstChangedFrame(const FrameTableState& a, const FrameTableState& b);

}  // namespace varo
