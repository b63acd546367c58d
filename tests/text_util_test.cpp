// Text helpers: the searches for commands that the steps share, each checked against a plain
// scan of many random lines, and the test for a backslash that pairs with nothing.
#include "base/text_util.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pomvex {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The plain scans: commands pair from from on; every backslash counts for the unpaired search.
std::size_t PlainFindCommand(std::string_view s, const CharSet& commands, std::size_t from) {
  for (std::size_t i = from; i + 1 < s.size(); ++i) {
    if (s[i] != '\\') continue;
    if (commands.Contains(s[i + 1])) return i;
    ++i;
  }
  return kNone;
}

std::size_t PlainFindBackslashAnd(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i + 1 < s.size(); ++i) {
    if (s[i] == '\\' && s[i + 1] == c) return i;
  }
  return kNone;
}

bool PlainEndsInLoneBackslash(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') continue;
    if (i + 1 == s.size()) return true;
    ++i;
  }
  return false;
}

TEST(TextUtil, CommandSearchesMatchAPlainScan) {
  // Backslashes often, in runs, and next to the characters looked for; lines longer than the
  // eight bytes a search takes at a time.
  const std::string alphabet = "\\\\\\\\a ^q]:[";
  std::mt19937 random(4711);
  const CharSet markers{":["};
  for (int round = 0; round < 20000; ++round) {
    std::string s(random() % 40, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    // Commands pair from the start, so the paired searches start where a command may begin.
    std::size_t from = 0;
    for (std::size_t skip = random() % (s.size() + 1); from < skip;)
      from += s[from] == '\\' ? 2 : 1;
    from = std::min(from, s.size());

    std::size_t backslash = from;
    while (backslash < s.size() && s[backslash] != '\\') ++backslash;
    ASSERT_EQ(NextBackslash(s, from), backslash) << s << " from " << from;
    ASSERT_EQ(FindCommand(s, markers, from), PlainFindCommand(s, markers, from)) << s;
    for (char c : std::string("^q]")) {
      ASSERT_EQ(FindCommand(s, c, from), PlainFindCommand(s, CharSet(std::string(1, c)), from))
          << s << " from " << from << " for " << c;
      ASSERT_EQ(FindBackslashAnd(s, c, from), PlainFindBackslashAnd(s, c, from)) << s;
      ASSERT_EQ(FindBackslashAndCommon(s, c, from), PlainFindBackslashAnd(s, c, from)) << s;
    }
    ASSERT_EQ(EndsInLoneBackslash(s), PlainEndsInLoneBackslash(s)) << s;
  }
}

TEST(TextUtil, LoneBackslashAtTheEnd) {
  EXPECT_FALSE(EndsInLoneBackslash(""));
  EXPECT_TRUE(EndsInLoneBackslash("\\"));
  EXPECT_FALSE(EndsInLoneBackslash("\\\\")) << "a literal backslash";
  EXPECT_TRUE(EndsInLoneBackslash("a\\\\\\"));
  EXPECT_FALSE(EndsInLoneBackslash("\\1a"));
}

}  // namespace
}  // namespace pomvex
