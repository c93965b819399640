#pragma once
// Undo and redo of the project: every state it went through, so that a
// segment click, a fill, a label, a paste, a new project, an open, a read, a
// change of code system or buzzer can be taken back and done again.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "SegmentPattern.h"

namespace varo {

// What the image is built from, and the window's title, which names the file.
struct ProjectState {
  std::vector<SegmentPattern> Frames;
  uint8_t FirstFloorIndex = 8;
  uint8_t FrameCount = 16;
  uint8_t LastFloorIndex = 14;
  uint8_t CodeSystem = 1;
  bool Buzzer = false;
  std::string Title;

  bool operator==(const ProjectState& o) const {
    return Frames == o.Frames && FirstFloorIndex == o.FirstFloorIndex && FrameCount == o.FrameCount &&
           LastFloorIndex == o.LastFloorIndex && CodeSystem == o.CodeSystem && Buzzer == o.Buzzer &&
           Title == o.Title;
  }
  bool operator!=(const ProjectState& o) const { return !(*this == o); }
};

class ProjectHistory {
 public:
  static constexpr size_t DefaultLimit = 200;
  explicit ProjectHistory(size_t limit = DefaultLimit);

  // Forgets every step; `current` is where undo stops, and is what was saved.
  void Reset(const ProjectState& current);
  // Called after every change of the project: records a step when `now`
  // differs from the state last seen, and drops what could be redone.
  // Returns whether a step was recorded.
  bool Note(const ProjectState& now);
  // Takes `now` as the present state without a step of its own (a save names the file).
  void Amend(const ProjectState& now);
  // The present state is what the file (or the indicator) holds now.
  void MarkSaved();
  // Whether undo or redo has come back to that state.
  bool AtSaved() const { return CurrentId_ == SavedId_; }

  // The state to restore, or nothing when there is no step.
  std::optional<ProjectState> Undo();
  std::optional<ProjectState> Redo();

  size_t UndoCount() const { return Past_.size(); }
  size_t RedoCount() const { return Future_.size(); }
  const ProjectState& Current() const { return Current_; }

 private:
  struct Step {
    ProjectState State;
    uint64_t Id;
  };
  size_t Limit_;
  std::deque<Step> Past_;
  std::vector<Step> Future_;
  ProjectState Current_;
  uint64_t CurrentId_ = 0;
  uint64_t NextId_ = 1;
  uint64_t SavedId_ = 0;
};

// The first frame that differs between two tables of the same range, where
// the eye should go after an undo; 0 when the ranges differ or nothing does.
size_t FirstChangedFrame(const ProjectState& a, const ProjectState& b);

}  // namespace varo
