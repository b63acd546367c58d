// The conversion of a file: the RTF file holds what the conversion wrote, gathered into blocks
// on its way there.
#include "app/convert_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "test_support.h"

namespace pomvex {
namespace {

namespace fs = std::filesystem;

// A run that goes on, and a problem list that stays short.
class GoingOn : public ConversionControl {
 public:
  void CheckStop() override {}
  void HandOver(RunEntry&) override {}
};

TEST(ConvertFile, TheRtfFileHoldsWhatTheConversionWrote) {
  // Many short lines, and among them one longer than any block.
  std::string chi = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 2000; ++i) chi += "A line of the body, number " + std::to_string(i) + "\r\n";
  chi += std::string(200000, 'x') + "\r\n";
  for (int i = 0; i < 2000; ++i) chi += "Another line, number " + std::to_string(i) + "\r\n";
  const fs::path path =
      fs::temp_directory_path() / ("pomvex_blocks_" + std::to_string(::getpid()) + ".CHI");
  std::ofstream(path, std::ios::binary) << chi;

  RunEntry entry;
  entry.input = std::make_unique<InputFile>(path.string());
  entry.output = CreateUniqueFile(path.string(), ".rtf");
  GoingOn control;
  ConvertFile(entry, false, control);
  EXPECT_EQ(entry.outcome, DocumentOutcome::Converted);
  const std::string rtf = testing::ConvertInMemory(chi).rtf;
  EXPECT_GT(rtf.size(), std::size_t{3} << 16);
  EXPECT_EQ(testing::ReadFile(entry.output->Path()), rtf);
  fs::remove(entry.output->Path());
  entry.input.reset();
  fs::remove(path);
}

}  // namespace
}  // namespace pomvex
