// The sample documents of examples/ converted by a whole run, compared byte for byte with the
// reviewed outputs in examples/golden/ (scripts/regen-golden.sh writes them anew).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/run.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using pomvex::testing::ReadFile;

TEST(Golden, SampleDocumentsConvertAsReviewed) {
  const fs::path examples = fs::path(POMVEX_SOURCE_DIR) / "examples";
  const fs::path golden = examples / "golden";
  ASSERT_TRUE(fs::is_directory(golden));
  const fs::path work = fs::temp_directory_path() / ("pomvex_golden_" + std::to_string(::getpid()));
  fs::remove_all(work);
  fs::create_directories(work);
  int documents = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() == ".CHI") {
      fs::copy_file(entry.path(), work / entry.path().filename());
      ++documents;
    }
  }
  ASSERT_GT(documents, 0);

  pomvex::RunFrontEnd quiet;
  pomvex::RunRequest request;
  request.directory = work.string();
  const pomvex::RunOutcome outcome = pomvex::RunConversion(request, quiet);
  ASSERT_TRUE(outcome.finished) << outcome.failure;

  std::string log = ReadFile(outcome.logPath);
  const std::string& dirLine = outcome.startDir;
  for (std::size_t at = log.find(dirLine); at != std::string::npos; at = log.find(dirLine)) {
    log.replace(at, dirLine.size(), "EXAMPLES/");
  }
  EXPECT_EQ(log, ReadFile(golden / "Pomvex.Log")) << "the run's log";
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(golden)) {
    if (entry.path().extension() != ".rtf") continue;
    ++compared;
    const fs::path produced = work / entry.path().filename();
    ASSERT_TRUE(fs::exists(produced)) << entry.path().filename();
    EXPECT_EQ(ReadFile(produced), ReadFile(entry.path())) << entry.path().filename();
  }
  EXPECT_EQ(compared, documents) << "one golden RTF file per sample document";
  fs::remove_all(work);
}

// A copy whose line ends were turned into LF alone converts as its original does; so does one
// whose first line still ends in CR LF (a copy edited on another system).
TEST(Golden, LfOnlyCopiesConvertAsTheirOriginals) {
  const fs::path examples = fs::path(POMVEX_SOURCE_DIR) / "examples";
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".CHI") continue;
    const std::string original = ReadFile(entry.path());
    const fs::path golden = examples / "golden" / entry.path().filename().replace_extension(".rtf");
    const std::size_t firstEnd = original.find("\r\n");
    for (const std::size_t keep : {std::size_t{0}, firstEnd + 2}) {
      std::string lf = original;
      for (std::size_t at = lf.find("\r\n", keep); at != std::string::npos;
           at = lf.find("\r\n", at)) {
        lf.erase(at, 1);
      }
      EXPECT_EQ(pomvex::testing::ConvertInMemory(lf).rtf, ReadFile(golden))
          << entry.path().filename() << (keep == 0 ? "" : ", first line in CR LF");
    }
  }
}

}  // namespace
