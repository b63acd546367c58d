#include "formulas/math_rtf.h"

#include <string_view>

#include "base/text_util.h"

namespace pomvex::formulas {

namespace {

using Kind = MathNode::Kind;

// text as RTF text: the characters RTF reserves escaped, the others beyond ASCII as Unicode
// escapes (a substitute "?" after each, "\uc1").
void AppendRtfText(std::string& out, std::u32string_view text, bool spaces = true) {
  for (const char32_t c : text) {
    if (c == U' ' && !spaces) continue;
    if (c == U'\\' || c == U'{' || c == U'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      auto unit = [&out](unsigned value) {
        const int signedValue = value >= 0x8000 ? static_cast<int>(value) - 0x10000 : static_cast<int>(value);
        out += "\\u" + std::to_string(signedValue) + "?";
      };
      if (c > 0xFFFF) {
        const char32_t offset = c - 0x10000;
        unit(0xD800 + (offset >> 10));
        unit(0xDC00 + (offset & 0x3FF));
      } else {
        unit(c);
      }
    }
  }
}

void AppendMath(std::string& out, const MathNode& node);

void AppendGroup(std::string& out, std::string_view word, const MathNode& node) {
  out += '{';
  out += word;
  AppendMath(out, node);
  out += '}';
}

bool IsSign(char32_t c) {
  return c == U'+' || c == U'-' || c == U'\u2212' || c == U'\u2213' || c == U'\u00B1';
}

// A script that ends in a sign: the sign goes as upright text, which LibreOffice does not take
// for an operator that wants what follows the script.
void AppendScript(std::string& out, std::string_view word, const MathNode& script) {
  const MathNode* last = script.kind == Kind::Row && !script.parts.empty() ? &script.parts.back()
                                                                              : nullptr;
  if (last && last->kind == Kind::Run && !last->text.empty() && IsSign(last->text.back())) {
    MathNode copy = script;
    MathNode& run = copy.parts.back();
    const char32_t sign = run.text.back();
    run.text.pop_back();
    copy.parts.push_back(MathNode::Of(Kind::Normal, std::u32string(1, sign)));
    AppendGroup(out, word, copy);
    return;
  }
  AppendGroup(out, word, script);
}

void AppendMath(std::string& out, const MathNode& node) {
  const auto& p = node.parts;
  switch (node.kind) {
    case Kind::Row:
      for (const MathNode& part : p) AppendMath(out, part);
      break;
    case Kind::Run: {
      std::string text;
      AppendRtfText(text, node.text, /*spaces=*/false);
      if (!text.empty()) out += "{\\mr " + text + "}";
      break;
    }
    case Kind::Normal:
      out += "{\\mr{\\mrPr{\\mnor}}";
      AppendRtfText(out, node.text);
      out += '}';
      break;
    case Kind::Fraction:
      out += "{\\mf";
      AppendGroup(out, "\\mnum", p[0]);
      AppendGroup(out, "\\mden", p[1]);
      out += '}';
      break;
    case Kind::Sup:
      out += "{\\msSup";
      AppendGroup(out, "\\me", p[0]);
      AppendScript(out, "\\msup", p[1]);
      out += '}';
      break;
    case Kind::Sub:
      out += "{\\msSub";
      AppendGroup(out, "\\me", p[0]);
      AppendScript(out, "\\msub", p[1]);
      out += '}';
      break;
    case Kind::SubSup:
      out += "{\\msSubSup";
      AppendGroup(out, "\\me", p[0]);
      AppendScript(out, "\\msub", p[1]);
      AppendScript(out, "\\msup", p[2]);
      out += '}';
      break;
    case Kind::Nary:
      out += "{\\mnary{\\mnaryPr{\\mchr ";
      AppendRtfText(out, node.text);
      out += '}';
      if (p[0].Empty()) out += "{\\msubHide 1}";
      if (p[1].Empty()) out += "{\\msupHide 1}";
      out += '}';
      AppendGroup(out, "\\msub", p[0]);
      AppendGroup(out, "\\msup", p[1]);
      AppendGroup(out, "\\me", p[2]);
      out += '}';
      break;
    case Kind::LimLow:
    case Kind::LimUpp:
      out += node.kind == Kind::LimLow ? "{\\mlimLow" : "{\\mlimUpp";
      AppendGroup(out, "\\me", p[0]);
      AppendGroup(out, "\\mlim", p[1]);
      out += '}';
      break;
    case Kind::Func:
      out += "{\\mfunc";
      AppendGroup(out, "\\mfName", p[0]);
      AppendGroup(out, "\\me", p[1]);
      out += '}';
      break;
    case Kind::Rad:
      out += "{\\mrad{\\mradPr{\\mdegHide 1}}{\\mdeg}";
      AppendGroup(out, "\\me", p[0]);
      out += '}';
      break;
    case Kind::Stack:
      out += "{\\mf{\\mfPr{\\mtype noBar}}";
      AppendGroup(out, "\\mnum", p[0]);
      AppendGroup(out, "\\mden", p[1]);
      out += '}';
      break;
  }
}

// The linear form, in RTF (rtf) or as plain text.
class Linear {
 public:
  explicit Linear(bool rtf) : rtf_(rtf) {}
  void Append(std::string& out, const MathNode& node) const;

 private:
  void Text(std::string& out, std::u32string_view text) const {
    if (rtf_) {
      AppendRtfText(out, text);
    } else {
      for (const char32_t c : text) AppendUtf8(out, c);
    }
  }
  void Script(std::string& out, bool raised, const MathNode& script) const {
    if (rtf_) {
      out += raised ? "{\\super " : "{\\sub ";
      Append(out, script);
      out += '}';
      return;
    }
    std::string inner;
    Append(inner, script);
    out += raised ? '^' : '_';
    out += inner.size() == 1 ? inner : "{" + inner + "}";
  }
  // A part in parentheses when it is more than one character.
  void Grouped(std::string& out, const MathNode& part) const {
    std::string plain;
    Linear(false).Append(plain, part);
    std::string inner;
    Append(inner, part);
    const bool single = plain.size() == 1 || (plain.size() <= 4 && plain.find(' ') == std::string::npos &&
                                              part.kind == Kind::Row && part.parts.size() == 1 &&
                                              part.parts[0].kind == Kind::Run && part.parts[0].text.size() == 1);
    out += single ? inner : "(" + inner + ")";
  }
  void Limits(std::string& out, const MathNode& lower, const MathNode& upper) const {
    if (lower.Empty() && upper.Empty()) return;
    out += '(';
    Append(out, lower);
    if (!upper.Empty()) {
      out += "..";
      Append(out, upper);
    }
    out += ')';
  }

  bool rtf_;
};

void Linear::Append(std::string& out, const MathNode& node) const {
  const auto& p = node.parts;
  switch (node.kind) {
    case Kind::Row:
      for (const MathNode& part : p) Append(out, part);
      break;
    case Kind::Run:
    case Kind::Normal:
      Text(out, node.text);
      break;
    case Kind::Fraction:
      Grouped(out, p[0]);
      out += '/';
      Grouped(out, p[1]);
      break;
    case Kind::Sup:
      Append(out, p[0]);
      Script(out, true, p[1]);
      break;
    case Kind::Sub:
      Append(out, p[0]);
      Script(out, false, p[1]);
      break;
    case Kind::SubSup:
      Append(out, p[0]);
      Script(out, false, p[1]);
      Script(out, true, p[2]);
      break;
    case Kind::Nary: {
      Text(out, node.text);
      Limits(out, p[0], p[1]);
      std::string body;
      Append(body, p[2]);
      const std::size_t start = body.find_first_not_of(' ');
      if (start != std::string::npos) out += " " + body.substr(start);
      break;
    }
    case Kind::LimLow:
      Append(out, p[0]);
      Limits(out, p[1], MathNode::Row());
      break;
    case Kind::LimUpp:
      Append(out, p[0]);
      Limits(out, MathNode::Row(), p[1]);
      break;
    case Kind::Func: {
      Append(out, p[0]);
      std::string argument;
      Append(argument, p[1]);
      const std::size_t start = argument.find_first_not_of(' ');
      if (start != std::string::npos) out += " " + argument.substr(start);
      break;
    }
    case Kind::Rad:
      Text(out, U"\u221A");
      Grouped(out, p[0]);
      break;
    case Kind::Stack:
      Append(out, p[0]);
      out += ' ';
      Append(out, p[1]);
      break;
  }
}

}  // namespace

std::string OfficeMath(const MathNode& node) {
  std::string out;
  AppendMath(out, node);
  return out;
}

std::string LinearRtf(const MathNode& node) {
  std::string out;
  Linear(true).Append(out, node);
  return out;
}

std::string LinearText(const MathNode& node) {
  std::string out;
  Linear(false).Append(out, node);
  return out;
}

std::string FormulaRtf(const MathNode& root) {
  return "{\\mmath{\\*\\moMath" + OfficeMath(root) + "}}{\\mmathPict " + LinearRtf(root) + "}";
}

std::string Describe(const MathNode& node) {
  static constexpr const char* kNames[] = {"row",  "run",  "normal", "frac",   "sup", "sub",
                                           "subsup", "nary", "limlow", "limupp", "func", "rad", "stack"};
  std::string out = kNames[static_cast<int>(node.kind)];
  out += '(';
  if (!node.text.empty()) {
    for (const char32_t c : node.text) AppendUtf8(out, c);
    if (!node.parts.empty()) out += ", ";
  }
  for (std::size_t i = 0; i < node.parts.size(); ++i) {
    if (i > 0) out += ", ";
    out += Describe(node.parts[i]);
  }
  out += ')';
  return out;
}

}  // namespace pomvex::formulas
