#include "ProjectHistory.h"

namespace varo {

ProjectHistory::ProjectHistory(size_t limit) : Limit_(limit < 1 ? 1 : limit) {}

void ProjectHistory::Reset(const ProjectState& current) {
  Past_.clear();
  Future_.clear();
  Current_ = current;
  CurrentId_ = NextId_++;
  SavedId_ = CurrentId_;
}

bool ProjectHistory::Note(const ProjectState& now) {
  if (now == Current_) return false;
  Past_.push_back({std::move(Current_), CurrentId_});
  if (Past_.size() > Limit_) Past_.pop_front();
  Current_ = now;
  CurrentId_ = NextId_++;
  Future_.clear();
  return true;
}

void ProjectHistory::Amend(const ProjectState& now) { Current_ = now; }

void ProjectHistory::MarkSaved() { SavedId_ = CurrentId_; }

std::optional<ProjectState> ProjectHistory::Undo() {
  if (Past_.empty()) return std::nullopt;
  Future_.push_back({std::move(Current_), CurrentId_});
  Current_ = std::move(Past_.back().State);
  CurrentId_ = Past_.back().Id;
  Past_.pop_back();
  return Current_;
}

std::optional<ProjectState> ProjectHistory::Redo() {
  if (Future_.empty()) return std::nullopt;
  Past_.push_back({std::move(Current_), CurrentId_});
  Current_ = std::move(Future_.back().State);
  CurrentId_ = Future_.back().Id;
  Future_.pop_back();
  return Current_;
}

size_t FirstChangedFrame(const ProjectState& a, const ProjectState& b) {
  if (a.Frames.size() != b.Frames.size() || a.FirstFloorIndex != b.FirstFloorIndex) return 0;
  for (size_t i = 0; i < a.Frames.size(); ++i)
    if (a.Frames[i] != b.Frames[i]) return i;
  return 0;
}

}  // namespace varo
