// Reading input lines under the DOS text rules, and grouping them into line groups.
#include "conversion/line_group_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "base/reporting.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::RecordingReporter;

std::vector<std::string> ReadAllLines(const std::string& bytes) {
  std::istringstream stream(bytes);
  TextInput in(stream);
  std::vector<std::string> lines;
  std::string line;
  while (!in.AtEnd()) {
    in.ReadLine(line);
    lines.push_back(line);
  }
  return lines;
}

TEST(TextInput, LineEndRules) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ReadAllLines("a\rb\r\nc"), (V{"a", "b", "c"})) << "last line without CR";
  EXPECT_EQ(ReadAllLines("a\r\n"), (V{"a"})) << "no empty line after the last line end";
  EXPECT_EQ(ReadAllLines("a\nb\nc\n"), (V{"a\nb\nc\n"})) << "a lone LF is an ordinary character";
  EXPECT_EQ(ReadAllLines("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(ReadAllLines("a\r\r\nb"), (V{"a", "", "b"})) << "one LF belongs to one CR";
  EXPECT_EQ(ReadAllLines("a\r\n\x1a"
                         "b\r\n"),
            (V{"a"}))
      << "Ctrl-Z ends the input";
  EXPECT_EQ(ReadAllLines("ab\x1a"
                         "cd"),
            (V{"ab"}));
  EXPECT_EQ(ReadAllLines(""), V{});
  EXPECT_EQ(ReadAllLines("\x1a"), V{});
}

TEST(TextInput, LongLinesCrossTheReadBuffer) {
  const std::string big(200000, 'x');
  auto lines = ReadAllLines(big + "\r\n" + big);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], big);
  EXPECT_EQ(lines[1], big);
  // A CR at the very end of one buffer load and its LF at the start of the next.
  const std::string edge(65535, 'y');
  lines = ReadAllLines(edge + "\r\nz");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "z");
}

// The first line decides the line ends: one that ends in a lone LF makes every LF a line end; so
// does a second line that ends in a lone LF after a first that ends in CR LF.
TEST(TextInput, FirstLineScanAndLfOnlyDocuments) {
  using V = std::vector<std::string>;
  struct Case {
    const char* label;
    std::string bytes;
    bool found;
    V rest;  // the lines after the first
  };
  const std::string filler(65534, 'x');  // the marker straddles the first read buffer's end
  const Case cases[] = {
      {"CR LF document", "\\1cw\r\na\r\nb\nc\r\nd", true, {"a", "b\nc", "d"}},
      {"CR LF, then LF", "\\1cw\r\na\nb\r\nc\rd\n\ne", true, {"a", "b", "c", "d", "", "e"}},
      {"CR LF across reads, then LF", std::string(65531, 'x') + "\\1cw\r\na\nb", true,
       {"a", "b"}},
      {"LF document", "\\1cw\na\nb\r\nc\rd\n\ne", true, {"a", "b", "c", "d", "", "e"}},
      {"CR LF, then an empty line ending in LF", "\\1cw\r\n\na", true, {"", "a"}},
      {"no marker", "1cw\\\nx", false, {"x"}},
      {"marker across reads", filler + "\\1cw\r\nz", true, {"z"}},
      {"long line, marker at its end", std::string(200000, 'y') + "\\1cw", true, {}},
      {"Ctrl-Z ends the first line", "\\1c\x1aw\r\nz", false, {}},
  };
  for (const Case& c : cases) {
    std::istringstream stream(c.bytes);
    TextInput in(stream);
    EXPECT_EQ(in.ScanFirstLine("\\1cw"), c.found) << c.label;
    V rest;
    std::string line;
    while (!in.AtEnd()) {
      in.ReadLine(line);
      rest.push_back(line);
    }
    EXPECT_EQ(rest, c.rest) << c.label;
  }
}

// Documents of random lines, some longer than a read of the input, with every kind of line end,
// form feeds and other control characters, are read as a plain scan of the same bytes splits
// them, after a first line that ends in CR LF or in a lone LF.
TEST(TextInput, LinesMatchAPlainScan) {
  const std::vector<std::string> pieces = {"a",  "b c",  "\r",     "\n",   "\r\n", "\f",
                                           "\t", "\x01", "\r\r\n", "\n\r", "\x1a"};
  std::mt19937 random(4711);
  for (int round = 0; round < 300; ++round) {
    const bool lfFirst = round % 2 == 1;
    bool lfEnds = lfFirst;
    std::string body;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) {
      if (random() % 25 == 0) body.append(random() % 70000, 'x');
      const std::string& piece = pieces[random() % pieces.size()];
      if (piece != "\x1a" || random() % 8 == 0) body += piece;
    }
    // The plain scan: a CR ends a line and takes an LF right after it; in a document whose
    // first or second line ends in a lone LF, an LF alone ends one too; Ctrl-Z ends the input.
    std::vector<std::pair<std::string, bool>> expected;
    bool lfDecided = lfEnds;
    std::string text;
    bool formFeed = false;
    auto end = [&] {
      expected.emplace_back(text, formFeed);
      text.clear();
      formFeed = false;
    };
    const std::size_t stop = std::min(body.find('\x1a'), body.size());
    for (std::size_t i = 0; i < stop; ++i) {
      if (body[i] == '\r') {
        end();
        lfDecided = true;
        if (i + 1 < stop && body[i + 1] == '\n') ++i;
      } else if (body[i] == '\n' && (lfEnds || !lfDecided)) {
        lfEnds = lfDecided = true;
        end();
      } else {
        text += body[i];
        formFeed = formFeed || body[i] == '\f';
      }
    }
    if (!text.empty()) end();

    std::istringstream stream(std::string(lfFirst ? "\\1cw\n" : "\\1cw\r\n") + body);
    TextInput in(stream);
    ASSERT_TRUE(in.ScanFirstLine("\\1cw"));
    std::vector<std::pair<std::string, bool>> read;
    std::string line;
    while (!in.AtEnd()) {
      const LineRead got = in.ReadLine(line);
      read.emplace_back(line, got.formFeed);
    }
    ASSERT_EQ(read, expected) << "round " << round;
  }
}

struct GroupReading {
  RecordingReporter reporter;
  std::istringstream stream;
  TextInput in{stream};
  LineGroup group;
  bool pending = false;
  explicit GroupReading(const std::string& bytes) : stream(bytes) {}
  void Next() { ReadLineGroup(reporter, in, group, pending); }
  void MoveAhead() {
    if (pending) group.Lines[0] = group.Lines[group.lastIndex + 1];
  }
};

TEST(ReadLineGroup, ScriptLinesGatherAroundTheirMainLine) {
  GroupReading r("\\+ 2\r\nmain\r\n\\- i\r\nnext\r\n");
  r.Next();
  EXPECT_EQ(r.group.mainIndex, 1);
  EXPECT_EQ(r.group.lastIndex, 2);
  EXPECT_TRUE(r.pending);
  EXPECT_EQ(r.group.Lines[3], "next") << "read ahead, after the group";
  r.MoveAhead();
  r.Next();
  EXPECT_EQ(r.group.mainIndex, 0);
  EXPECT_EQ(r.group.lastIndex, 0);
  EXPECT_FALSE(r.pending);
  r.Next();
  EXPECT_EQ(r.group.lastIndex, -1) << "the end of the input gives an empty group";
  EXPECT_EQ(r.group.mainIndex, -1);
  EXPECT_TRUE(r.reporter.entries.empty());
}

TEST(ReadLineGroup, GroupEnds) {
  {
    GroupReading r("one\r\ntwo\r\n");
    r.Next();
    EXPECT_EQ(r.group.lastIndex, 0) << "two main lines are two groups";
    EXPECT_TRUE(r.pending);
  }
  {
    GroupReading r("\\=\r\nx\r\n");
    r.Next();
    EXPECT_EQ(r.group.mainIndex, -1) << "an equals line alone has no main line";
    EXPECT_EQ(r.group.lastIndex, 0);
    EXPECT_FALSE(r.pending);
  }
  {
    GroupReading r("a\fb\r\n\\- c\r\n");
    r.Next();
    EXPECT_EQ(r.group.lastIndex, 0) << "a form feed ends the group";
    EXPECT_FALSE(r.pending);
    r.Next();
    EXPECT_EQ(r.group.Lines[0], "\\- c") << "the next group starts afresh";
  }
  {
    GroupReading r("one\r\ntwo\f\r\n\\- three\r\n");
    r.Next();
    r.MoveAhead();
    r.Next();
    EXPECT_EQ(r.group.lastIndex, 0) << "a form feed in the line read ahead ends its group";
    EXPECT_TRUE(r.group.endsInPageEnd);
    EXPECT_FALSE(r.pending);
  }
}

TEST(ReadLineGroup, MisplacedSubscriptLinesAreReportedAndKept) {
  {
    GroupReading r("\\- low\r\nmain\r\n");
    r.Next();
    EXPECT_EQ(r.reporter.Lines(), std::vector<std::string>{"E7: Subscript line with no main line"});
    EXPECT_EQ(r.group.lastIndex, 0);
    EXPECT_EQ(r.group.mainIndex, -1);
    EXPECT_TRUE(r.pending);
  }
  {
    GroupReading r("\\+ up\r\n\\- low\r\nmain\r\n");
    r.Next();
    EXPECT_EQ(r.reporter.entries.size(), 1u);
    EXPECT_EQ(r.group.lastIndex, 1);
    EXPECT_EQ(r.group.mainIndex, -1);
    EXPECT_TRUE(r.pending);
  }
  {
    GroupReading r("\\- low\r\n");
    r.group.Lines[0] = "\\- pending";
    r.pending = true;
    r.Next();
    EXPECT_EQ(r.reporter.entries.size(), 1u) << "a pending subscript line opens a group";
  }
}

TEST(ReadLineGroup, AGroupBeyondTheLineArrayAbandonsTheDocument) {
  std::string bytes;
  for (int i = 0; i < 200; ++i) bytes += "\\+ up\r\n";
  GroupReading fits(bytes + "main\r\n");
  fits.Next();
  EXPECT_EQ(fits.group.mainIndex, 200);
  GroupReading over(bytes + "\\+ up\r\nmain\r\n");
  EXPECT_THROW(over.Next(), ConversionAbandoned);
}

}  // namespace
}  // namespace pomvex
