// File names between UTF-8 and the UTF-16 of Windows: every name a folder can hold comes back
// as it was, and text that is not UTF-8 is refused rather than guessed at.
#include "platform/wide_names.h"

#include <gtest/gtest.h>

namespace pomvex {
namespace {

TEST(WideNames, RoundTrip) {
  struct Case {
    const char* label;
    std::u16string wide;
    std::string utf8;
  };
  const Case cases[] = {
      {"ASCII", u"LETTER.CHI", "LETTER.CHI"},
      {"two-byte letters", u"Größe.CHI", "Größe.CHI"},
      {"three bytes", u"\u20AC", "\xE2\x82\xAC"},
      {"a pair of surrogates", u"\U0001D11E", "\xF0\x9D\x84\x9E"},
      {"a lone high surrogate", std::u16string(1, char16_t(0xD834)) + u"x", "\xED\xA0\xB4x"},
      {"a lone low surrogate", std::u16string(1, char16_t(0xDD1E)), "\xED\xB4\x9E"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromUtf16(c.wide), c.utf8) << c.label;
    std::u16string back;
    EXPECT_TRUE(Utf16FromUtf8(c.utf8, back)) << c.label;
    EXPECT_EQ(back, c.wide) << c.label;
  }
}

TEST(WideNames, TextThatIsNotUtf8IsRefused) {
  for (const char* bad : {"\x80", "caf\xE9", "\xC0\x80", "\xE0\x80\x80", "\xE2\x82",
                          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3x"}) {
    std::u16string wide;
    EXPECT_FALSE(Utf16FromUtf8(bad, wide)) << bad;
  }
}

// Only absolute paths with nothing to resolve take the long form: the system takes it as it is.
TEST(WideNames, LongPathsTakeTheLongFormWhereTheSystemCanUseIt) {
  const std::u16string folders(300, u'a');
  struct Case {
    const char* label;
    std::u16string path;
    std::u16string form;
  };
  const Case cases[] = {
      {"short", u"C:/DOCS/LETTER.CHI", u"C:\\DOCS\\LETTER.CHI"},
      {"long, on a drive", u"C:/" + folders, u"\\\\?\\C:\\" + folders},
      {"long, on a share", u"\\\\srv\\docs\\" + folders, u"\\\\?\\UNC\\srv\\docs\\" + folders},
      {"long, in the long form already", u"\\\\?\\C:\\" + folders, u"\\\\?\\C:\\" + folders},
      {"long, with a ..", u"C:\\x\\..\\" + folders, u"C:\\x\\..\\" + folders},
      {"long, with a doubled separator", u"C:\\\\" + folders, u"C:\\\\" + folders},
      {"long, relative", folders, folders},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowsPathForm(c.path), c.form) << c.label;
}

}  // namespace
}  // namespace pomvex
