// Whole-line features: the hyphenation mark of a word divided at the end of a main line goes so
// that the word runs on into the next line; a picture reference becomes a visible placeholder;
// a line drawn with one rule character becomes a tab whose leader draws it.
#include "layout/rules_pictures.h"

#include <string_view>

#include "base/columns.h"
#include "base/commands.h"

namespace pomvex {

namespace {

constexpr std::size_t kShortestRule = 10;

// Appends text to out without its commands "\" + a and "\" + b.
void AppendWithout(std::string_view text, char a, char b, std::string& out) {
  std::size_t from = 0;  // text[from..] is still to be appended
  for (CommandWalk command(text); command.Next();) {
    if (command.Char() != a && command.Char() != b) continue;
    out.append(text.substr(from, command.At() - from));
    from = command.End();
  }
  out.append(text.substr(from));
}

// Removes the hyphenation mark "\" + letter at the end of the main line, with the joining space
// after it; hyphenKept is 1 when the hyphen before the mark stays ("\B"), 0 when it goes ("\A").
void RemoveHyphen(Reporter& report, LineGroup& group, char letter, std::size_t hyphenKept) {
  if (group.mainIndex < 0) return;
  std::string& line = group.Lines[group.mainIndex];
  // The first mark that is a command: a literal backslash followed by the letter is text.
  const std::size_t at = FindCommand(line, letter);
  if (at == kNoIndex) return;
  // In place: right after a hyphen, and followed only by the space that joins the lines.
  const bool inPlace = at > 0 && line[at - 1] == '-' && line.size() == at + 3;
  if (inPlace) {
    line.resize(at - 1 + hyphenKept);
  } else {
    if (report.Locating()) {
      const int column = ColumnCounter(line).ColumnOf(at);
      report.Mark({.slot = group.mainIndex, .column = column, .command = letter});
    }
    report.ReportWarning(std::string("Unable to remove CW hyphenation comnd \"\\") + letter + "\"");
  }
}

}  // namespace

void RemoveHyphenA(Reporter& report, LineGroup& group) {
  RemoveHyphen(report, group, 'A', 0);
}

void RemoveHyphenB(Reporter& report, LineGroup& group) {
  RemoveHyphen(report, group, 'B', 1);
}

void ConvertPictures(Reporter& report, std::string& line) {
  const std::size_t p = FindCommand(line, 'G', 0);
  if (p == kNoIndex) return;
  // A run of adjacent marks opens the reference; the next mark closes it.
  std::size_t start = p + 2;
  while (IsCommandAt(line, start, 'G')) start += 2;
  std::size_t close = FindCommand(line, 'G', start);
  if (close == kNoIndex) close = line.size();

  const std::string_view text = line;
  const std::string_view name = text.substr(start, close - start);
  std::string out(text.substr(0, p));  // no mark comes before the first one
  out += " *** <";
  out += name;
  // A name that runs to a line ending in a lone backslash keeps it as a literal one, so that it
  // cannot join the ">" into a script marker.
  if (EndsInLoneBackslash(name)) out += kBackslash;
  out += "> *** ";
  AppendWithout(text.substr(close), 'G', 'G', out);
  report.ReportWarning("Please edit this file to include the picture file " + std::string(name));
  line = std::move(out);
}

bool IsRuleLine(std::string_view line) {
  const char first = line.empty() ? '\0' : line.front();
  return line.size() >= kShortestRule && (first == '-' || first == '=' || first == '_') &&
         line.find_first_not_of(first) == kNoIndex;
}

void ConvertRules(std::string& line, bool placeholders) {
  if (IsRuleLine(line)) line = kRuleTab;
  // The placeholders left by the line-drawing characters "[" and "]".
  static constexpr CharSet kPlaceholders{"LE"};
  if (!placeholders || FindCommand(line, kPlaceholders) == kNoIndex) return;
  std::string out;
  out.reserve(line.size());
  AppendWithout(line, 'L', 'E', out);
  line = std::move(out);
}

}  // namespace pomvex
