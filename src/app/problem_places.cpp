#include "app/problem_places.h"

#include <algorithm>

#include "fonts/footnotes_scripts.h"

namespace pomvex {

namespace {

// Keeps the first limit bytes of what is written, and notes whether more came.
class BoundedText : public TextSink {
 public:
  BoundedText(std::string& text, std::size_t limit) : text_(text), limit_(limit) {}
  void Write(std::string_view piece) override {
    const std::size_t room = limit_ - std::min(limit_, text_.size());
    if (piece.size() > room) cut = true;
    text_.append(piece.substr(0, room));
  }
  bool cut = false;

 private:
  std::string& text_;
  std::size_t limit_;
};

}  // namespace

std::size_t GroupDetail::Bytes() const {
  std::size_t bytes = sizeof(GroupDetail) + rtf.size() + flags.size() * sizeof(Flag);
  for (const std::string& line : lines) bytes += sizeof(std::string) + line.size();
  return bytes;
}

void ProblemPlaces::GroupStarts(long firstLine) {
  inGroup_ = true;
  problemsInGroup_ = 0;
  detail_.firstLine = firstLine;
  detail_.lines.clear();
  detail_.lengths.clear();
  detail_.flags.clear();
  detail_.mainIndex = -1;
  mark_.reset();
}

void ProblemPlaces::GroupRead(const DocumentState& doc, const LineGroup& group, FontKind carry) {
  const auto count = static_cast<std::size_t>(group.lastIndex + 1);
  detail_.lines.resize(count);
  detail_.lengths.resize(count);
  for (std::size_t slot = 0; slot < count; ++slot) {
    const std::string& line = group.Lines[slot];
    detail_.lines[slot].assign(line, 0, std::min(line.size(), kDetailLineBytes));
    detail_.lengths[slot] = line.size();
  }
  detail_.mainIndex = group.mainIndex;
  detail_.carry = carry;
  detail_.slots = doc.FontSlots;
  detail_.section = doc.SectionMarker;
  detail_.footnote = doc.InFootnoteText;
}

std::optional<GroupDetail> ProblemPlaces::GroupEnds(const DocumentState& doc,
                                                    std::string_view rtf) {
  inGroup_ = false;
  line_ = 0;
  mark_.reset();
  if (problemsInGroup_ == 0 || detail_.group >= kDetailedGroups) return std::nullopt;
  if (detailBytes_ >= kDetailBytes) return std::nullopt;
  GroupDetail shown = detail_;
  shown.rtf.clear();
  BoundedText text(shown.rtf, kDetailRtfBytes);
  WriteWithFootnotes(doc, rtf, text);
  shown.rtfCut = text.cut;
  detailBytes_ += shown.Bytes();
  return shown;
}

void ProblemPlaces::AtLine(long line) {
  line_ = line;
}

void ProblemPlaces::Locate(long& line, int& group) {
  if (!inGroup_) {
    line = line_;
    group = -1;
    mark_.reset();
    return;
  }
  if (problemsInGroup_ == 0) detail_.group = groupsWithProblems_++;
  line = detail_.firstLine;
  group = detail_.group;
  if (mark_ && detail_.flags.size() < kDetailFlags) {
    detail_.flags.push_back({*mark_, problemsInGroup_});
  }
  mark_.reset();
  ++problemsInGroup_;
}

}  // namespace pomvex
