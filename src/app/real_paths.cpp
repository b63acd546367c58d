#include "app/real_paths.h"

#include <algorithm>
#include <system_error>

#include "platform/platform_files.h"

namespace fs = std::filesystem;

namespace pomvex {

fs::path RealPath(const std::string& p) {
  std::error_code ec;
  const fs::path native = fs::absolute(platform::NativePath(p), ec);
  fs::path real = fs::weakly_canonical(native, ec);
  return ec ? native.lexically_normal() : real;
}

bool LiesWithin(const fs::path& inner, const fs::path& outer, bool orBelow) {
  const auto sameName = [](const fs::path& a, const fs::path& b) {
    return platform::SameName(platform::PathString(a), platform::PathString(b));
  };
  // A trailing separator makes an empty last name, which counts for nothing.
  const auto end = [](const fs::path& p) {
    auto last = p.end();
    if (last != p.begin() && std::prev(last)->empty()) --last;
    return last;
  };
  const auto innerEnd = end(inner), outerEnd = end(outer);
  const auto [outerAt, innerAt] =
      std::mismatch(outer.begin(), outerEnd, inner.begin(), innerEnd, sameName);
  if (outerAt != outerEnd) return false;
  return innerAt == innerEnd || orBelow;
}

}  // namespace pomvex
