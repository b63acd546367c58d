#include "conversion/rtf_prolog.h"

#include <algorithm>
#include <string_view>

#include "base/text_util.h"

namespace pomvex {

namespace {
constexpr std::int32_t kTwipsPerUnit = 144;
constexpr std::int32_t kMaxFurnitureTwips = 720;
constexpr const char* kEol = "\r\n";
}  // namespace

PrologMargins PrologMarginsOf(const DocumentSettings& settings) {
  return {CheckedMul(settings.LM, kTwipsPerUnit), CheckedMul(settings.BM, kTwipsPerUnit)};
}

std::string RtfProlog(const DocumentSettings& settings, const PrologMargins& margins,
                      bool facingPages) {
  // Fonts 0, 7 and 8 carry the faces of the character formatting; 5 the symbols written above
  // the Basic Multilingual Plane.
  static constexpr std::string_view kFontTable[] = {
      "{\\fonttbl",
      "{\\f0\\froman\\fprq2 Times New Roman;}",
      "{\\f1\\fswiss\\fprq2 Arial;}",
      "{\\f2\\fmodern\\fprq1 Courier New;}",
      "{\\f5\\fnil\\fcharset1 Segoe UI Symbol;}",
      "{\\f7\\fscript\\fprq2\\fcharset0 Palace Script MT;}",
      "{\\f8\\fdecor\\fprq2\\fcharset0 Old English Text MT;}",
      "}",
  };
  const std::string lr = std::to_string(margins.leftRight);
  const std::string tb = std::to_string(margins.topBottom);
  std::string p;
  auto line = [&p](std::string_view text) {
    p += text;
    p += kEol;
  };
  line(facingPages ? "\\rtf1\\ansi\\deff0\\facingp\\deflang2057\\plain\\noultrlspc"
                   : "\\rtf1\\ansi\\deff0\\deflang2057\\plain\\noultrlspc");
  // The header and the footer stand halfway into their margins, at most half an inch from the
  // edge: a reader's default of half an inch leaves a narrow margin no room for them.
  const std::string furniture = std::to_string(std::min(kMaxFurnitureTwips, margins.topBottom / 2));
  line("\\margl" + lr + "\\margr" + lr + "\\margt" + tb + "\\margb" + tb + "\\headery" + furniture +
       "\\footery" + furniture);
  line("\\fs24\\widowctrl\\hyphauto\\ftnbj");
  for (std::string_view fontLine : kFontTable) line(fontLine);
  // Endnotes numbered in arabic figures, as the document's own marks were.
  line(std::string(settings.EN ? "\\fet1\\aftnnar" : "") +
       "{\\info{\\author pomvex}}\\viewkind1\\uc1");
  return p;
}

}  // namespace pomvex
