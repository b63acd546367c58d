// The output file gathers what it is given and writes it in blocks: text in pieces of every
// size reaches the file whole and in order, also when the file is dropped without Close, and
// only ever the file that was created.
#include "app/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
