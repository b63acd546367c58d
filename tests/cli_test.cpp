// pomvex-cli end to end on temporary folders: what it prints, what it writes, its exit codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pomvex_cli_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  CliResult Cli(const std::string& args) {
    const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
    const std::string cmd = std::string(POMVEX_CLI_PATH) + " " + args + " >" + out.string() +
                            " 2>" + err.string() + " </dev/null";
    const int raw = std::system(cmd.c_str());
    CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(out), Read(err)};
    fs::remove(out);
    fs::remove(err);
    return r;
  }
  fs::path dir_;
};

const std::string kDoc = "\\1cw\r\n\\U1STANDARD\r\nHello\\,\r\n";

TEST_F(CliTest, ConvertsADirectoryAndPrintsTheSummary) {
  Write("LETTER.CHI", kDoc);
  Write("sub/INNER.CHI", kDoc);
  CliResult r = Cli(dir_.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir_.string() + "/\n" +
                       "*** Finished converting 1 files with 0 error(s) and 0 warning(s). ***\n");
  EXPECT_EQ(r.err, "") << "no progress when stderr is not a terminal";
  EXPECT_TRUE(fs::exists(dir_ / "LETTER.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "Pomvex.Log"));
  EXPECT_FALSE(fs::exists(dir_ / "sub/INNER.rtf"));

  r = Cli("--recursive --detailed-log " + dir_.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(fs::exists(dir_ / "LETTER_0.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "sub/INNER.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "Pomvex_0.Log"));
}

TEST_F(CliTest, ConvertsSingleFilesOfOneDirectory) {
  Write("a.CHI", kDoc);
  Write("b.CHI", kDoc);
  Write("c.CHI", kDoc);
  Write("other/d.CHI", kDoc);
  CliResult r = Cli((dir_ / "a.CHI").string() + " " + (dir_ / "c.CHI").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir_ / "a.rtf"));
  EXPECT_FALSE(fs::exists(dir_ / "b.rtf"));
  EXPECT_TRUE(fs::exists(dir_ / "c.rtf"));

  r = Cli((dir_ / "a.CHI").string() + " " + (dir_ / "other/d.CHI").string());
  EXPECT_EQ(r.status, 64);
  EXPECT_NE(r.err.find("one directory"), std::string::npos) << r.err;
}

TEST_F(CliTest, UsageErrorsAndInformation) {
  EXPECT_EQ(Cli("").status, 64);
  EXPECT_EQ(Cli("--bogus " + dir_.string()).status, 64);
  EXPECT_EQ(Cli((dir_ / "missing").string()).status, 64);
  Write("x.CHI", kDoc);
  EXPECT_EQ(Cli("-r " + (dir_ / "x.CHI").string()).status, 64);
  CliResult help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--detailed-log"), std::string::npos);
  CliResult version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("pomvex-cli"), std::string::npos);
}

TEST_F(CliTest, AFailureThatEndsTheRunExitsWithStatus2) {
  // sysfs refuses new files even to root: the log cannot be created.
  const fs::path locked = "/sys/kernel";
  if (!fs::is_directory(locked)) GTEST_SKIP() << "no sysfs here";
  CliResult r = Cli(locked.string());
  if (fs::exists(locked / "Pomvex.Log")) GTEST_SKIP() << "sysfs accepted a new file";
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "/sys/kernel/\n") << "the start directory is shown first";
  EXPECT_EQ(r.err, "pomvex-cli: /sys/kernel/Pomvex.Log: File access denied\n")
      << "the path the failure concerns comes first";
}

}  // namespace
