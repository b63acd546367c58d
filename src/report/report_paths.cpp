#include "report/report_paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/folder_listing.h"
#include "app/real_paths.h"
#include "platform/platform_files.h"

namespace fs = std::filesystem;

namespace pomvex::report {

namespace {

// How much of a file's beginning and end tells what it is.
constexpr std::size_t kHead = 1024;
constexpr std::size_t kTail = 64 * 1024;

constexpr std::string_view kPageOpening =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
constexpr std::string_view kSummary = "{\"summary\":{\"start_dir\":";

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// A name the run gives its RTF files or its logs.
bool IsOutputName(const std::string& name) {
  const std::string lower = Lower(name);
  if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".rtf") == 0) return true;
  if (lower == "pomvex.log") return true;
  if (lower.rfind("pomvex_", 0) != 0 || lower.size() <= 11) return false;
  if (lower.compare(lower.size() - 4, 4, ".log") != 0) return false;
  const std::string_view number = std::string_view(lower).substr(7, lower.size() - 11);
  return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// At most size bytes of the file at offset.
std::string ReadPart(platform::FileHandle file, std::uint64_t offset, std::size_t size) {
  std::string bytes(size, '\0');
  if (platform::SeekFile(file, offset) != 0) return {};
  std::size_t got = 0;
  while (got < size) {
    int err = 0;
    const long n = platform::ReadSome(file, bytes.data() + got, size - got, err);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace

bool IsEarlierReport(ReportKind kind, const std::string& path) {
  int err = 0;
  const platform::FileHandle file = platform::OpenForReading(path, err);
  if (file == platform::kNoFile) return false;
  const std::uint64_t size = platform::FileSize(file);
  const std::string head = ReadPart(file, 0, kHead);
  bool earlier = false;
  if (kind == ReportKind::Page) {
    earlier = head.rfind(kPageOpening, 0) == 0 &&
              (head.find(kPageMarker) != std::string::npos ||
               head.find("<title>Pomvex report: ") != std::string::npos);
  } else if (head.rfind("{\"path\":", 0) == 0 || head.rfind("{\"folder\":", 0) == 0 ||
             head.rfind(kSummary, 0) == 0) {
    const std::uint64_t from = size > kTail ? size - kTail : 0;
    std::string tail = ReadPart(file, from, static_cast<std::size_t>(size - from));
    // The last line is the summary, and ends the file.
    if (tail.size() >= 3 && tail.compare(tail.size() - 3, 3, "}}\n") == 0) {
      tail.pop_back();
      const std::size_t start = tail.rfind('\n');
      earlier = tail.compare(start == std::string::npos ? 0 : start + 1, kSummary.size(),
                             kSummary) == 0;
    }
  }
  platform::CloseFile(file);
  return earlier;
}

ReportPlace PlaceOfReport(ReportKind kind, const std::string& path, const RunPlaces& run) {
  if (path.empty() || platform::IsPathSeparator(path.back())) return ReportPlace::Folder;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(platform::NativePath(path), ec);
  if (ec == std::errc::filename_too_long) return ReportPlace::TooLong;
  if (fs::is_directory(fs::status(platform::NativePath(path), ec))) return ReportPlace::Folder;

  // The folder the report goes into, where it really is, and the report's name there.
  const fs::path native = platform::NativePath(path);
  const fs::path folder = RealPath(platform::PathString(native.parent_path()));
  const std::string name = platform::PathString(native.filename());
  const fs::path start = RealPath(run.startDir);
  if (!run.outputDir.empty() && LiesWithin(folder, start, /*orBelow=*/true)) {
    return ReportPlace::InStartDirectory;
  }
  if (LiesWithin(folder, start, run.recursive) && IsChiFile(name)) return ReportPlace::Document;
  const fs::path output = run.outputDir.empty() ? start : RealPath(run.outputDir);
  if (LiesWithin(folder, output, run.recursive) && IsOutputName(name)) return ReportPlace::Output;

  if (!fs::exists(status)) return ReportPlace::New;
  return fs::is_regular_file(fs::status(native, ec)) && IsEarlierReport(kind, path)
             ? ReportPlace::EarlierReport
             : ReportPlace::OtherFile;
}

}  // namespace pomvex::report
