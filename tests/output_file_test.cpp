// The output file gathers what it is given and writes it in blocks: text in pieces of every
// size reaches the file whole and in order, also when the file is dropped without Close.
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

}  // namespace
}  // namespace pomvex
