// Paths compared where they really lead: every symbolic link and ".." resolved as far as the
// path exists, so that a link or ".." cannot hide that one path lies within another.
#pragma once

#include <filesystem>
#include <string>

namespace pomvex {

// The path p names once every symbolic link and ".." is resolved, as far as it exists; the rest
// is taken as written. Absolute.
std::filesystem::path RealPath(const std::string& p);
// True when inner is outer, or lies below it (only when orBelow), each name compared as the file
// system compares names (on Windows without regard to case). Both come from RealPath.
bool LiesWithin(const std::filesystem::path& inner, const std::filesystem::path& outer,
                bool orBelow);

}  // namespace pomvex
