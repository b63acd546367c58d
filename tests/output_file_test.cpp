// The output file gathers what it is given and writes it in blocks: text in pieces of every
// size reaches the file whole and in order, also when the file is dropped without Close, and
// only ever the file that was created; it can be begun again, as can the input.
#include "app/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/input_file.h"

namespace pomvex {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(OutputFile, PiecesOfEverySizeArriveInOrder) {
  const fs::path path =
      fs::temp_directory_path() / ("pomvex_output_" + std::to_string(::getpid()) + ".rtf");
  std::string expected;
  for (bool close : {true, false}) {
    expected.clear();
    {
      fs::remove(path);
      const std::unique_ptr<OutputFile> file = CreateUniqueFile(path.string(), "");
      OutputFile& out = *file;
      for (std::size_t size : {1u, 70000u, 3u, 65535u, 2u, 200000u, 5u}) {
        const std::string piece(size, static_cast<char>('a' + size % 26));
        out.Write(piece);
        expected += piece;
      }
      out.WriteLine("end");
      expected += "end\r\n";
      if (close) out.Close();
    }
    EXPECT_EQ(ReadAll(path), expected) << (close ? "closed" : "dropped");
  }
  fs::remove(path);
}

// A document converted again from its start (memory ran out beside other documents) reads its
// input from the first byte and leaves only the second conversion's text in its RTF file.
TEST(OutputFile, ARestartedFileAndARewoundInputBeginAgain) {
  const fs::path path =
      fs::temp_directory_path() / ("pomvex_restart_" + std::to_string(::getpid()) + ".CHI");
  const std::string text = "first line\r\n" + std::string(100000, 'y');
  std::ofstream(path, std::ios::binary) << text;
  InputFile input(path.string());
  std::string head(10, ' ');
  input.Stream().read(head.data(), 10);
  ASSERT_TRUE(input.Rewind());
  std::stringstream again;
  again << input.Stream().rdbuf();
  EXPECT_EQ(again.str(), text);

  const std::unique_ptr<OutputFile> out = CreateUniqueFile(path.string(), ".rtf");
  out->Write(std::string(70000, 'a'));
  out->Write("pending");
  ASSERT_TRUE(out->Restart());
  out->Write("{second}");
  out->Close();
  EXPECT_EQ(ReadAll(out->Path()), "{second}");
  fs::remove(path);
  fs::remove(out->Path());
}

// A search for a free name can be given up at a taken name, which is then named.
TEST(OutputFile, TheSearchForAFreeNameStopsWhereItIsToldTo) {
  const fs::path dir = fs::temp_directory_path() / ("pomvex_names_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string letter = (dir / "LETTER.CHI").string();
  std::vector<std::string> taken;
  const auto keepTo = [&taken](std::size_t count) {
    return [&taken, count](const std::string& name) {
      taken.push_back(fs::path(name).filename().string());
      return taken.size() < count;
    };
  };
  CreateUniqueFile(letter, ".rtf");
  CreateUniqueFile(letter, ".rtf");
  EXPECT_EQ(CreateUniqueFile(OutputPlace{nullptr, letter}, ".rtf", platform::kDefaultPermissions,
                             keepTo(1)),
            nullptr);
  EXPECT_EQ(taken, (std::vector<std::string>{"LETTER.rtf"}));
  taken.clear();
  EXPECT_EQ(CreateUniqueFile(OutputPlace{nullptr, letter}, ".rtf", platform::kDefaultPermissions,
                             keepTo(3))
                ->Path(),
            (dir / "LETTER_1.rtf").string());
  EXPECT_EQ(taken, (std::vector<std::string>{"LETTER.rtf", "LETTER_0.rtf"}));
  fs::remove_all(dir);
}

#ifndef _WIN32  // Wine, where the Windows build is tested, makes no links
// What is written goes only to the file that was created: a link put in its place afterwards,
// or found under a candidate name beforehand, never leads the writing elsewhere.
TEST(OutputFile, WritesOnlyThroughTheFileItCreated) {
  const fs::path dir =
      fs::temp_directory_path() / ("pomvex_output_links_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path victim = dir / "victim.txt";
  std::ofstream(victim) << "precious";
  fs::create_symlink(dir / "nowhere.txt", dir / "LETTER.rtf");  // a dangling link

  const std::unique_ptr<OutputFile> out = CreateUniqueFile((dir / "LETTER.CHI").string(), ".rtf");
  EXPECT_EQ(out->Path(), (dir / "LETTER_0.rtf").string()) << "a link is a taken name";
  EXPECT_FALSE(fs::exists(dir / "nowhere.txt")) << "and is not followed";
  // The name is swapped for a link to another file between the creation and the writing.
  fs::remove(out->Path());
  fs::create_symlink(victim, out->Path());
  out->Write(std::string(100000, 'x'));
  out->Close();
  EXPECT_EQ(ReadAll(victim), "precious");
  fs::remove_all(dir);
}
#endif

}  // namespace
}  // namespace pomvex
