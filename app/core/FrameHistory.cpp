#include "FrameHistory.h"

namespace varo {

FrameHistory::FrameHistory(size_t limit) : Limit_(limit < 1 ? 1 : limit) {}

void FrameHistory::Reset(const FrameTableState& current) {
  Past_.clear();
  Future_.clear();
  Current_ = current;
}

bool FrameHistory::Note(const FrameTableState& now) {
  if (now == Current_) return false;
  Past_.push_back(std::move(Current_));
  if (Past_.size() > Limit_) Past_.pop_front();
  Current_ = now;
  Future_.clear();
  return true;
}

std::optional<FrameTableState> FrameHistory::Undo() {
  if (Past_.empty()) return std::nullopt;
  Future_.push_back(std::move(Current_));
  Current_ = std::move(Past_.back());
  Past_.pop_back();
  return Current_;
}

std::optional<FrameTableState> FrameHistory::Redo() {
  if (Future_.empty()) return std::nullopt;
  Past_.push_back(std::move(Current_));
  Current_ = std::move(Future_.back());
  Future_.pop_back();
  return Current_;
}

size_t FirstChangedFrame(const FrameTableState& a, const FrameTableState& b) {
  if (a.Frames.size() != b.Frames.size() || a.FirstFloorIndex != b.FirstFloorIndex) return 0;
  for (size_t i = 0; i < a.Frames.size(); ++i)
    if (a.Frames[i] != b.Frames[i]) return i;
  return 0;
}

}  // namespace varo
