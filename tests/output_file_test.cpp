// The output file gathers what it is given and writes it in blocks: text in pieces of every
// size reaches the file whole and in order, also when the file is dropped without Close, and
// only ever the file that was created; it can be begun again, as can the input.
#include "app/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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

std::vector<std::string> Listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// An RTF file is found under a name only once it is whole, and then under a name that replaces
// nothing: a second document of the same name gets the next one, and one dropped leaves nothing.
TEST(OutputFile, APendingFileIsFoundOnlyWholeUnderAFreeName) {
  const fs::path dir = fs::temp_directory_path() / ("pomvex_pending_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const OutputPlace place{nullptr, (dir / "LETTER.CHI").string()};
  std::ofstream(dir / "LETTER.rtf") << "earlier";
  {
    const std::unique_ptr<OutputFile> dropped = CreatePendingFile(place, ".rtf", 0644, 1);
    dropped->Write("never seen");
  }
  EXPECT_EQ(Listing(dir), std::vector<std::string>{"LETTER.rtf"}) << "a dropped file leaves nothing";
  const std::unique_ptr<OutputFile> out = CreatePendingFile(place, ".rtf", 0644, 2);
  EXPECT_EQ(out->Path(), (dir / "LETTER.rtf").string()) << "the name it takes when free";
  out->Write(std::string(70000, 'a'));
  out->Complete();
  for (const std::string& name : Listing(dir)) {
    EXPECT_TRUE(name == "LETTER.rtf" || name[0] == '.') << name << ": only hidden while written";
  }
  out->Name();
  out->Close();
  EXPECT_EQ(out->Path(), (dir / "LETTER_0.rtf").string());
  EXPECT_EQ(ReadAll(dir / "LETTER_0.rtf"), std::string(70000, 'a'));
  EXPECT_EQ(ReadAll(dir / "LETTER.rtf"), "earlier");
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"LETTER.rtf", "LETTER_0.rtf"}));
  fs::remove_all(dir);
}

// Where the system has no files without a name, a hidden one is renamed, never over a file.
TEST(OutputFile, AHiddenFileTakesOnlyAFreeName) {
  const fs::path dir = fs::temp_directory_path() / ("pomvex_hidden_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "taken.rtf") << "earlier";
  int err = 0;
  const platform::FolderHandle folder = platform::OpenFolder(dir.string(), err);
  ASSERT_NE(folder, platform::kNoFolder);
  const platform::FileHandle file = platform::CreateHiddenFileIn(folder, ".pomvex-1.tmp", 0644, err);
  ASSERT_NE(file, platform::kNoFile);
  EXPECT_EQ(platform::WriteSome(file, "whole", 5, err), 5);
  EXPECT_EQ(platform::NameFileIn(folder, dir.string() + "/", file, ".pomvex-1.tmp", "taken.rtf"),
            platform::kErrorNameTaken);
  EXPECT_EQ(ReadAll(dir / "taken.rtf"), "earlier");
  EXPECT_EQ(platform::NameFileIn(folder, dir.string() + "/", file, ".pomvex-1.tmp", "free.rtf"), 0);
  EXPECT_EQ(platform::CloseFile(file), 0);
  platform::CloseFolder(folder);
  EXPECT_EQ(ReadAll(dir / "free.rtf"), "whole");
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"free.rtf", "taken.rtf"}));
  fs::remove_all(dir);
}

// A numbered name longer than the system allows loses whole characters at the end of its stem
// until it fits, and the names after it keep the shortening.
TEST(OutputFile, NamesTooLongAreShortenedByWholeCharacters) {
  NameCandidates log("/d/Pomvex12.Log", "");
  EXPECT_EQ(log.Current(), "/d/Pomvex12.Log");
  log.Next();
  EXPECT_EQ(log.Current(), "/d/Pomvex_0.Log") << "the log's numbered names lose their digits";
  NameCandidates greek("/d/\xce\xb1\xce\xb2.CHI", ".rtf");  // two two-byte letters
  greek.Next();
  ASSERT_TRUE(greek.Shorten());
  EXPECT_EQ(greek.Current(), "/d/\xce\xb1_0.rtf") << "a letter is cut whole";
  EXPECT_FALSE(greek.Shorten()) << "one letter is left";
  greek.Next();
  EXPECT_EQ(greek.Current(), "/d/\xce\xb1_1.rtf");

  const fs::path dir = fs::temp_directory_path() / ("pomvex_long_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string stem(251, 'L');
  std::ofstream(dir / (stem + ".rtf")) << "first";
  for (const char* expected : {"_0.rtf", "_1.rtf"}) {
    const std::unique_ptr<OutputFile> out =
        CreatePendingFile({nullptr, (dir / (stem + ".chi")).string()}, ".rtf", 0644, 1);
    out->Name();
    out->Close();
    EXPECT_EQ(fs::path(out->Path()).filename().string(), stem.substr(0, 249) + expected);
  }
  EXPECT_EQ(fs::path(CreateUniqueFile((dir / (stem + ".rtf")).string(), "")->Path())
                .filename()
                .string(),
            stem.substr(0, 249) + "_2.rtf");
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
