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

// A document of the given text in the temporary folder; the test removes it.
fs::path WriteChi(const std::string& name, const std::string& chi) {
  const fs::path path =
      fs::temp_directory_path() / ("pomvex_" + name + "_" + std::to_string(::getpid()) + ".CHI");
  std::ofstream(path, std::ios::binary) << chi;
  return path;
}

// The run is asked whether to stop as each line group is written, though the RTF goes to the
// file in blocks: a stop asked for ends the conversion at the next group.
TEST(ConvertFile, AStopIsMetAtTheNextLineGroupWritten) {
  class StopsAt : public ConversionControl {
   public:
    explicit StopsAt(int at) : at_(at) {}
    void CheckStop() override {
      if (++checks == at_) throw RunInterrupted();
    }
    void HandOver(RunEntry&) override {}
    int checks = 0;

   private:
    int at_;
  };
  std::string chi = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 300; ++i) chi += "Paragraph " + std::to_string(i) + ".\\,\r\n";
  const fs::path path = WriteChi("stops", chi);
  for (const int at : {0, 150}) {
    RunEntry entry;
    entry.input = std::make_unique<InputFile>(path.string());
    entry.output = CreateUniqueFile(path.string(), ".rtf");
    StopsAt control(at);
    ConvertFile(entry, ConversionOptions{}, control);
    if (at == 0) {
      EXPECT_EQ(entry.outcome, DocumentOutcome::Converted);
      EXPECT_GE(control.checks, 300);
    } else {
      EXPECT_EQ(entry.outcome, DocumentOutcome::Stopped);
      EXPECT_EQ(control.checks, at);
    }
    entry.output->Close();
    fs::remove(entry.output->Path());
  }
  fs::remove(path);
}

TEST(ConvertFile, TheRtfFileHoldsWhatTheConversionWrote) {
  // Many short lines, and among them one longer than any block.
  std::string chi = "\\1cw\r\n\\U1STANDARD\r\n";
  for (int i = 0; i < 2000; ++i) chi += "A line of the body, number " + std::to_string(i) + "\r\n";
  chi += std::string(200000, 'x') + "\r\n";
  for (int i = 0; i < 2000; ++i) chi += "Another line, number " + std::to_string(i) + "\r\n";
  const fs::path path = WriteChi("blocks", chi);

  RunEntry entry;
  entry.input = std::make_unique<InputFile>(path.string());
  entry.output = CreateUniqueFile(path.string(), ".rtf");
  GoingOn control;
  ConvertFile(entry, ConversionOptions{}, control);
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
