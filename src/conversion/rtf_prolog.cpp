#include "conversion/rtf_prolog.h"

#include "base/text_util.h"

namespace pomvex {

namespace {
constexpr std::int32_t kTwipsPerUnit = 144;
constexpr const char* kEol = "\r\n";
}  // namespace

PrologMargins PrologMarginsOf(const DocumentSettings& settings) {
  return {CheckedMul(settings.LM, kTwipsPerUnit), CheckedMul(settings.BM, kTwipsPerUnit)};
}

std::string RtfProlog(const DocumentSettings& settings, const PrologMargins& margins,
                      bool facingPages) {
  const std::string lr = std::to_string(margins.leftRight);
  const std::string tb = std::to_string(margins.topBottom);
  std::string p;
  p += facingPages ? "\\rtf1\\ansi\\deff0\\facingp\\deflang2057\\plain\\noultrlspc"
                   : "\\rtf1\\ansi\\deff0\\deflang2057\\plain\\noultrlspc";
  p += kEol;
  p += "\\margl" + lr + "\\margr" + lr + "\\margt" + tb + "\\margb" + tb + kEol;
  p += "\\fs24\\widowctrl\\hyphauto\\ftnbj";
  p += kEol;
  p += "{\\fonttbl";
  p += kEol;
  p += "{\\f0\\froman\\fprq2 Times New Roman;}";
  p += kEol;
  p += "{\\f1\\fswiss\\fprq2 Arial;}";
  p += kEol;
  p += "{\\f2\\fmodern\\fprq1 Courier New;}";
  p += kEol;
  p += "{\\f5\\fnil\\fcharset1 Segoe UI Symbol;}";
  p += kEol;
  p += "{\\f7\\fscript\\fprq2\\fcharset0 Palace Script MT;}";
  p += kEol;
  p += "{\\f8\\fdecor\\fprq2\\fcharset0 Old English Text MT;}";
  p += kEol;
  p += "}";
  p += kEol;
  if (settings.EN) p += "\\fet1";
  p += "{\\info{\\author pomvex}}\\viewkind1\\uc1";
  p += kEol;
  return p;
}

}  // namespace pomvex
