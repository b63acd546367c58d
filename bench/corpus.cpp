// Builds the benchmark's documents. The realistic ones follow the shape of real ChiWriter
// papers; each pathological one repeats one construct until its size matches the scale, so
// that the time of the full size can be compared with the time of half of it.
#include "corpus.h"

#include <algorithm>
#include <map>
#include <random>
#include <string_view>

namespace pomvex::bench {

namespace {

constexpr std::string_view kEol = "\r\n";

constexpr std::string_view kHeader =
    "\\1cw ChiWriter 3.11 document file\r\n"
    "\\U1STANDARD\r\n\\U2BOLD\r\n\\U3ITALIC\r\n\\U4GREEK\r\n\\U5MATHI\r\n\\U6MATHII\r\n"
    "\\U7SYMBOL\r\n\\U8SMALL\r\n\\U9FOREIGN\r\n\\U0LINEDRAW\r\n"
    "\\pLM10\r\n\\pRM76\r\n\\pTM6\r\n\\pBM6\r\n\\pPL66\r\n\\pJU1\r\n\\pPF1\r\n\\pEN0\r\n"
    "\\pTA   5 10 15 20 25 30 35 40 45 50 55 60 65 70 75\r\n";

// A running head, a centred page-number footer, and footnote texts for the symbols 1 to 9.
std::string Furniture() {
  std::string s;
  s += "\\HD\r\n\\8Journal of Applied Physics 14 (1991)\\1\\,\r\n\\=\r\n";
  s += "\\FD\r\n\\^\\8-- \\@ --\\1\\^\\,\r\n\\=\r\n";
  for (char symbol = '1'; symbol <= '9'; ++symbol) {
    s += "\\N";
    s += symbol;
    s += "\r\nSee the review by Smith in \\3Rev. Mod. Phys.\\1 \\2{45}\\1 (1973), p. ";
    s += symbol;
    s += ".\\,\r\n\\=\r\n";
  }
  return s;
}

class Random {
 public:
  explicit Random(unsigned seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<unsigned>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
  }

 private:
  std::mt19937 engine_;
};

constexpr std::string_view kWords[] = {
    "the",       "energy",    "of",       "a",         "body",        "moving",  "with",
    "velocity",  "follows",   "from",     "Lorentz",   "factor",      "and",     "that",
    "classical", "limit",     "is",       "recovered", "for",         "small",   "values",
    "we",        "show",      "measured", "sample",    "temperature", "field",   "mass",
    "in",        "units",     "where",    "light",     "speed",       "total",   "sum",
    "over",      "particles", "kinetic",  "fraction",  "grows",       "without", "bound",
    "results",   "table",     "given",    "by",        "equation",    "second",  "order"};
constexpr std::string_view kGreek[] = {"a", "b", "g", "d", "e", "l", "m", "p", "s", "w"};
constexpr std::string_view kMath[] = {"S", ",", "L", "8", "e", "<", "|"};
constexpr std::string_view kForeignWords[] = {"Gr\\9o\\1\\9b\\1e", "Fran\\9c\\1ais",
                                              "temp\\9w\\1rature", "Wroc\\9l\\1aw"};

// One word of running text, sometimes in another font or with a footnote reference.
std::string Word(Random& r) {
  std::string w(r.Pick(kWords));
  const int kind = r.Below(100);
  if (kind < 6) return "\\3" + w + "\\1";                             // italic
  if (kind < 9) return "\\2" + w + "\\1";                             // bold
  if (kind < 14) return "\\4" + std::string(r.Pick(kGreek)) + "\\1";  // a Greek letter
  if (kind < 17) return "\\5" + std::string(r.Pick(kMath)) + "\\1";   // a MATHI symbol
  if (kind < 19) return std::string(r.Pick(kForeignWords));
  if (kind < 20) return w + "\\F" + static_cast<char>('1' + r.Below(9));
  return w;
}

// Visible columns of a text: commands other than the hard space take none.
int Columns(std::string_view text) {
  int columns = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      if (i + 1 < text.size() && text[i + 1] == ' ') ++columns;
      ++i;
    } else {
      ++columns;
    }
  }
  return columns;
}

// A paragraph of a few lines of about 65 columns; the last ends it, sometimes with a page break.
void Paragraph(Random& r, std::string& out) {
  const int lines = 2 + r.Below(6);
  for (int l = 0; l < lines; ++l) {
    std::string line;
    while (Columns(line) < 60) {
      if (!line.empty()) line += ' ';
      line += Word(r);
    }
    if (l + 1 < lines) {
      out += line + " ";
    } else {
      out += line + ".\\,";
      if (r.Chance(3)) out += '\f';
    }
    out += kEol;
  }
}

// A displayed equation: a main line indented by hard spaces, with superscripts and subscripts
// standing over and under hard spaces of the main line. Without big operators, a sum sign (whose
// scripts are its limits: two-dimensional mathematics) becomes another symbol.
void Equation(Random& r, std::string& out, bool bigOperators) {
  std::vector<std::string> columns(10, "\\ ");  // one entry per column of the main line
  std::map<std::size_t, char> above;
  std::map<std::size_t, char> below;
  auto script = [&](std::map<std::size_t, char>& line, std::string_view text) {
    for (char c : text) {
      line[columns.size()] = c;
      columns.emplace_back("\\ ");
    }
  };
  const int atoms = 3 + r.Below(5);
  for (int a = 0; a < atoms; ++a) {
    const int kind = r.Below(4);
    if (kind == 0)
      columns.push_back("\\3" + std::string(1, static_cast<char>('a' + r.Below(26))) + "\\1");
    if (kind == 1) columns.push_back("\\4" + std::string(r.Pick(kGreek)) + "\\1");
    if (kind == 2) {
      const std::string_view symbol = r.Pick(kMath);
      columns.push_back("\\5" + std::string(!bigOperators && symbol == "S" ? "L" : symbol) + "\\1");
    }
    if (kind == 3) columns.push_back(std::string(1, static_cast<char>('A' + r.Below(26))));
    if (r.Chance(40)) script(above, r.Chance(50) ? "2" : "-1/2");
    if (r.Chance(30)) script(below, r.Chance(50) ? "i" : "tot");
    if (a + 1 < atoms) {
      for (char c : std::string_view(r.Chance(50) ? " = " : " + ")) columns.emplace_back(1, c);
    }
  }
  auto render = [&](std::string_view code, const std::map<std::size_t, char>& line) {
    std::string text(code);
    std::size_t col = 0;
    for (const auto& [at, c] : line) {
      text.append(at - col, ' ');
      text += c;
      col = at + 1;
    }
    out += text;
    out += kEol;
  };
  if (!above.empty()) render("\\+", above);
  for (const std::string& c : columns) out += c;
  out += ".\\,";
  out += kEol;
  if (!below.empty()) render("\\-", below);
}

// A table with left, right and decimal tabs and a rule under it.
void Table(Random& r, std::string& out) {
  out +=
      "\\2Sample\\ \\ \\ \\ \\ \\[Material\\ \\ \\ \\ \\ \\ \\ \\ \\ Mass\\]x\\ \\ \\ \\ Temp. "
      "(K)\\].\\1\\,\r\n";
  const int rows = 3 + r.Below(5);
  for (int row = 0; row < rows; ++row) {
    out += static_cast<char>('A' + r.Below(26));
    out += "-" + std::to_string(1 + r.Below(40)) + "\\ \\ \\ \\ \\ \\ \\ \\[";
    out += std::string(r.Pick(kWords)) + "\\ \\ \\ \\ \\ \\ \\ \\ ";
    out += std::to_string(1 + r.Below(200)) + " g\\]x\\ \\ \\ \\ \\ \\ ";
    out += std::to_string(r.Below(1000)) + "." + std::to_string(r.Below(100)) + "\\].\\,\r\n";
  }
  out += "--------------------------------------------------\\,\r\n";
}

std::string RealisticBody(std::size_t targetBytes, unsigned seed, bool bigOperators = true) {
  Random r(seed);
  std::string out;
  out.reserve(targetBytes + 4096);
  while (out.size() < targetBytes) {
    const int block = r.Below(100);
    if (block < 5) {
      out += "\\^\\2" + std::string(r.Pick(kWords)) + " " + std::string(r.Pick(kWords)) +
             "\\1\\^\\,\r\n\\,\r\n";
    } else if (block < 10) {
      out += "\\2" + std::to_string(1 + r.Below(9)) + ". " + std::string(r.Pick(kWords)) +
             "\\1\\,\r\n\\,\r\n";
    } else if (block < 30) {
      Equation(r, out, bigOperators);
    } else if (block < 38) {
      Table(r, out);
    } else {
      Paragraph(r, out);
      if (r.Chance(50)) out += "\\,\r\n";
    }
  }
  return out;
}

std::string Repeat(std::string_view piece, int times) {
  std::string s;
  s.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

std::string OpenDocument() {
  return std::string(kHeader) + Furniture();
}

// The realistic body with line feeds alone: the whole body is one line.
std::string SingleLfLine(int bytes) {
  std::string body = RealisticBody(static_cast<std::size_t>(bytes), 7);
  std::string line = "The whole body on one line: ";  // a main line, whatever block comes first
  line.reserve(body.size() + line.size());
  for (char c : body) {
    if (c != '\r') line += c;
  }
  return OpenDocument() + line + "\r\n";
}

std::string FootnoteReferences(int count) {
  return OpenDocument() + Repeat("ref\\F1 ", count) + "\\,\r\n";
}

// Groups of 200 lines: 100 superscript lines, the main line and 99 subscript lines, each line
// of units times a few characters; the lines next to the main line put runs over its hard
// spaces, the others are reported.
std::string TallGroups(int units) {
  const std::string main = Repeat("ab\\ \\ ", units);
  const std::string up = "\\+" + Repeat("  xy", units);
  const std::string down = "\\-" + Repeat("  ij", units);
  std::string s = OpenDocument();
  for (int g = 0; g < 2; ++g) {
    for (int l = 0; l < 100; ++l) s += up + "\r\n";
    s += main + "\\,\r\n";
    for (int l = 0; l < 99; ++l) s += down + "\r\n";
  }
  return s;
}

// Lines of count hard spaces: an indentation, hard spaces after a space in a continuation line,
// a centred and a right-aligned line, and a main line under one-column script runs.
std::string HardSpaces(int count) {
  const std::string run = Repeat("\\ ", count);
  const std::string half = Repeat("\\ ", count / 2);
  std::string s = OpenDocument();
  s += run + "Indented text.\\,\r\n";
  s += "A paragraph begins \r\nand goes on " + run + " after the hard spaces.\\,\r\n";
  s += "\\^" + half + "Centred title" + half + "\\^\\,\r\n";
  s += "\\^" + run + "   Right\\,\r\n";
  s += "\\+" + Repeat("x ", count / 2) + "\r\n" + run + "\\,\r\n\\-" + Repeat(" y", count / 2) +
       "\r\n";
  return s;
}

// One line with count left, right and decimal tabs, and one with count left tabs alone.
std::string Tabs(int count) {
  std::string line;
  for (int i = 0; i < count; ++i) {
    if (i % 3 == 0) line += "\\[word";
    if (i % 3 == 1) line += " name\\]x";
    if (i % 3 == 2) line += "\\ \\ 12.5\\].";
  }
  return OpenDocument() + line + "\\,\r\n" + Repeat("\\[x", count) + "\\,\r\n";
}

// A main line under count superscript runs and over count subscript runs of two columns.
std::string ScriptRuns(int count) {
  return OpenDocument() + "\\+" + Repeat(" ab", count) + "\r\n" + Repeat("w\\ \\ ", count) +
         "\\,\r\n\\-" + Repeat(" cd", count) + "\r\n";
}

// Script runs over a main line without hard spaces: none has room, each is reported and left out.
std::string ScriptsWithoutRoom(int count) {
  return OpenDocument() + "\\+" + Repeat(" ab", count) + "\r\n" + Repeat("wxy", count) +
         "\\,\r\n\\-" + Repeat(" cd", count) + "\r\n";
}

// Small stacked fractions, one after another in one line: the formulas' search and recognizer.
std::string Fractions(int count) {
  return OpenDocument() + "\\+" + Repeat(" 1  ", count) + "\r\n" + Repeat("x-+ ", count) +
         "\\,\r\n\\-" + Repeat(" 2  ", count) + "\r\n";
}

std::string Braces(int count) {
  return OpenDocument() + Repeat("{x} ", count / 2) + "\\,\r\n";
}

// Greek letters in bold, italic and plain words: anchoring and font switches.
std::string GreekSwitches(int count) {
  return OpenDocument() + Repeat("\\2bold\\4a\\2 word \\3it\\4b\\1 \\4g\\1 ", count / 3) +
         "\\,\r\n";
}

// Page numbers, pictures, centring marks, literal backslashes and brace commands.
std::string MixedMarkup(int count) {
  return OpenDocument() + Repeat("x\\@ \\Gfig.pcx\\G \\^ \\\\ \\{y\\} ", count) + "\\,\r\n";
}

}  // namespace

std::string RealisticDocument(std::size_t targetBytes, unsigned seed, bool bigOperators) {
  return OpenDocument() + RealisticBody(targetBytes, seed, bigOperators);
}

const std::vector<Pathology>& Pathologies() {
  static const std::vector<Pathology> kPathologies = {
      {"lf-line", "a 4 MB body whose lines end in LF alone: one line", 4 << 20, SingleLfLine},
      {"footnotes", "one line with 100,000 footnote references", 100000, FootnoteReferences},
      {"tall-groups", "200-line groups of 4 KB lines", 1000, TallGroups},
      {"hard-spaces", "lines of 50,000 hard spaces (indent, collapse, centre, right, scripts)",
       50000, HardSpaces},
      {"tabs", "a line of 10,000 left, right and decimal tabs, and one of 10,000 left tabs", 10000,
       Tabs},
      {"script-runs", "20,000 superscript and 20,000 subscript runs over one line", 20000,
       ScriptRuns},
      {"braces", "a line of 100,000 braces", 100000, Braces},
      {"greek", "a line of 30,000 Greek letters in bold, italic and plain words", 30000,
       GreekSwitches},
      {"markup", "a line of 20,000 page numbers, pictures, centring marks and brace commands",
       20000, MixedMarkup},
      {"no-room", "100,000 superscript and 100,000 subscript runs over a line without hard spaces",
       100000, ScriptsWithoutRoom},
      {"fractions", "a line of 20,000 stacked fractions", 20000, Fractions},
  };
  return kPathologies;
}

std::size_t LongestLine(const std::string& document) {
  std::size_t longest = 0;
  std::size_t current = 0;
  for (std::size_t i = 0; i < document.size(); ++i) {
    const char c = document[i];
    if (c == '\x1a') break;
    if (c != '\r') {
      ++current;
      continue;
    }
    longest = std::max(longest, current);
    current = 0;
    if (i + 1 < document.size() && document[i + 1] == '\n') ++i;
  }
  return std::max(longest, current);
}

}  // namespace pomvex::bench

namespace pomvex::bench {

namespace {

// The pieces a hostile line is made of: every command and marker the conversion knows or
// must survive, in ChiWriter's spelling.
constexpr std::string_view kHostilePieces[] = {
    "\\ ",
    "\\ \\ \\ ",
    "\\\\",
    "\\\\ ",
    "\\\\\\ ",
    "\\\\1",
    "\\\\4",
    "\\\\^",
    "\\\\[",
    "\\\\]x",
    "\\\\F1",
    "\\\\:",
    "\\\\>",
    "\\\\-",
    "\\[",
    "\\]x",
    "\\].",
    "\\]",
    "\\]\\",
    "\\^",
    "\\^\\ \\ ",
    "\\ \\ \\^",
    "\\F1",
    "\\F2",
    "\\F!",
    "\\F%",
    "\\F/",
    "\\FA",
    "\\F",
    "\\F\\\\",
    "\\@",
    "\\@\\@",
    "\\Gfig.pcx\\G",
    "\\G\\Gp.pcx\\G",
    "\\G",
    "-\\A",
    "-\\B",
    "\\A",
    "\\B",
    "\\Q",
    "\\q",
    "\\:",
    "\\<",
    "\\>",
    "\\D",
    "\\R",
    "\\X",
    "\\L",
    "\\E",
    "\\{",
    "\\}",
    "{",
    "}",
    "{x}",
    "\\,",
    "\\/\f",
    "\f",
    "\\=",
    "\\+",
    "\\-",
    "\\N",
    "\\U",
    "\\p",
    "\\%",
    "\\&",
    "\\/",
    "----------",
    "==========",
    "__________",
    "\t",
    "\x80\xe9\xff",
    "\\\x81",
    "\\\t",
    "  ",
    " ",
    "\\1",
    "\\2",
    "\\3",
    "\\4",
    "\\5",
    "\\6",
    "\\7",
    "\\8",
    "\\9",
    "\\0",
    "\\!",
    "\\\"",
    "\\#",
    "\\$",
    "\\0[\\0]",
    "\\0\\\\",
    "\\4\\\\",
    "\\7\\\\",
    "\\4abc\\1",
    "\\9o\\1",
    "\\2bold\\4a",
    "\\5S\\1",
    "\\6R\\1",
    "\\\\qc",
    "\\\\qr",
    "\\qc",
    "\\qr",
    "\\\x1a",
};

constexpr std::string_view kFamilies[] = {"STANDARD", "SMALL",    "ITALIC", "BOLD",     "FOREIGN",
                                          "SYMBOL",   "GREEK",    "SCRIPT", "LINEDRAW", "MATHI",
                                          "MATHII",   "UNDERLIN", "ORATOR", "GOTHIC"};
constexpr char kSlots[] = {'!', '"', '#', '$', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

std::string HostilePiece(Random& r) {
  if (r.Chance(45)) return Word(r);
  if (r.Chance(10)) return std::string(r.Pick(kWords));
  return std::string(r.Pick(kHostilePieces));
}

std::string HostileLine(Random& r, int pieces) {
  std::string line;
  for (int i = 0; i < pieces; ++i) {
    if (!line.empty() && r.Chance(60)) line += ' ';
    line += HostilePiece(r);
  }
  if (r.Chance(8)) line += '\\';  // a lone backslash at the end
  return line;
}

// A script line: characters at chosen columns, hostile pieces among them sometimes.
std::string ScriptLine(Random& r, std::string_view code, int columns) {
  std::string line(code);
  for (int c = 0; c < columns; ++c) {
    if (r.Chance(70)) {
      line += ' ';
    } else if (r.Chance(80)) {
      line += static_cast<char>(r.Chance(50) ? '1' + r.Below(9) : 'a' + r.Below(26));
    } else {
      line += HostilePiece(r);
    }
  }
  return line;
}

// A main line with hard spaces where script characters may stand.
std::string MainLineWithRoom(Random& r, int columns) {
  std::string line;
  for (int c = 0; c < columns; ++c) {
    const int kind = r.Below(100);
    if (kind < 40) {
      line += "\\ ";
    } else if (kind < 75) {
      line += static_cast<char>('A' + r.Below(26));
    } else if (kind < 85) {
      line += ' ';
    } else {
      line += HostilePiece(r);
    }
  }
  return line;
}

std::string HostileHeader(Random& r) {
  std::string s = r.Chance(95) ? "\\1cw ChiWriter 3.11 document file" : "\\1cw";
  s += kEol;
  const int fonts = r.Below(12);
  for (int i = 0; i < fonts; ++i) {
    s += "\\U";
    s += r.Pick(kSlots);
    s += r.Chance(90) ? std::string(r.Pick(kFamilies)) : std::string(r.Chance(50) ? "" : "NEWFONT");
    s += kEol;
  }
  if (r.Chance(70)) s += std::string("\\U1STANDARD") + std::string(kEol);
  if (r.Chance(30)) s += std::string("\\pJU") + (r.Chance(50) ? "0" : "1") + std::string(kEol);
  if (r.Chance(30)) s += "\\pRM" + std::to_string(10 + r.Below(80)) + std::string(kEol);
  if (r.Chance(30)) s += "\\pLM" + std::to_string(r.Below(40)) + std::string(kEol);
  if (r.Chance(30)) s += std::string("\\pPF") + r.Pick(kSlots) + std::string(kEol);
  if (r.Chance(20)) s += std::string("\\pEN1") + std::string(kEol);
  if (r.Chance(20)) s += std::string("\\pTA   5 10 15 20 25") + std::string(kEol);
  return s;
}

std::string HostileSections(Random& r) {
  static constexpr std::string_view kMarkers[] = {"\\HD", "\\HE", "\\H1", "\\FD", "\\FE",
                                                  "\\F1", "\\S",  "\\H3", "\\F5", "\\N1",
                                                  "\\N2", "\\N!", "\\N9", "\\NA", "\\N"};
  std::string s;
  const int sections = r.Below(5);
  for (int i = 0; i < sections; ++i) {
    s += r.Pick(kMarkers);
    s += kEol;
    const int lines = 1 + r.Below(3);
    for (int l = 0; l < lines; ++l) {
      s += HostileLine(r, 1 + r.Below(6));
      if (r.Chance(60)) s += "\\,";
      s += kEol;
    }
    if (r.Chance(90)) s += std::string("\\=") + std::string(kEol);
  }
  return s;
}

// A line group in one of many shapes: script lines above and below in every position, groups
// without a main line, misplaced subscript lines, equals lines.
std::string HostileGroup(Random& r) {
  std::string s;
  auto line = [&s](const std::string& text) {
    s += text;
    s += kEol;
  };
  const int columns = 4 + r.Below(24);
  const int shape = r.Below(100);
  if (shape < 35) {
    line(HostileLine(r, 1 + r.Below(12)) + (r.Chance(50) ? "\\," : " "));
    return s;
  }
  const int above = r.Below(shape < 90 ? 3 : 5);
  const int below = r.Below(shape < 90 ? 3 : 5);
  for (int i = 0; i < above; ++i) line(ScriptLine(r, "\\+", columns));
  if (r.Chance(85)) line(MainLineWithRoom(r, columns) + (r.Chance(60) ? "\\," : ""));
  for (int i = 0; i < below; ++i) line(ScriptLine(r, "\\-", columns));
  if (r.Chance(8)) line(ScriptLine(r, "\\+", columns));  // a superscript after the subscripts
  if (r.Chance(5)) line("\\=");
  return s;
}

std::string HostileDocument(unsigned seed) {
  Random r(seed);
  std::string s = HostileHeader(r) + HostileSections(r);
  const int groups = 2 + r.Below(30);
  for (int g = 0; g < groups; ++g) s += HostileGroup(r);
  // Stray line ends and an early end of the input, now and then.
  if (r.Chance(10)) s.insert(static_cast<std::size_t>(r.Below(static_cast<int>(s.size()))), "\n");
  if (r.Chance(10)) s.insert(static_cast<std::size_t>(r.Below(static_cast<int>(s.size()))), "\r");
  if (r.Chance(3)) s.insert(static_cast<std::size_t>(r.Below(static_cast<int>(s.size()))), "\x1a");
  return s;
}

// A realistic paper with hostile pieces put in at random places of its body, and now and then
// a line doubled or a stretch cut out.
std::string MutatedDocument(unsigned seed) {
  Random r(seed);
  std::string s = RealisticDocument(static_cast<std::size_t>(500 + r.Below(3000)), seed);
  // Most pieces go into the body, after the last footnote section; some anywhere.
  const std::size_t body = s.find("\\=\r\n", s.find("\\N9")) + 4;
  const int mutations = 1 + r.Below(12);
  for (int m = 0; m < mutations; ++m) {
    const std::size_t from = r.Chance(80) ? body : 0;
    const std::size_t at =
        from + static_cast<std::size_t>(r.Below(static_cast<int>(s.size() - from)));
    const int kind = r.Below(10);
    if (kind < 7) {
      s.insert(at, HostilePiece(r));
    } else if (kind < 8) {
      s.erase(at, static_cast<std::size_t>(r.Below(40)));
    } else {
      const std::size_t start = s.rfind('\n', at);
      const std::size_t end = s.find('\n', at);
      if (start != std::string::npos && end != std::string::npos)
        s.insert(end + 1, s.substr(start + 1, end - start));
    }
  }
  return s;
}

}  // namespace

std::vector<NamedDocument> SmallDocuments() {
  std::vector<NamedDocument> documents;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    documents.push_back(
        {"realistic-" + std::to_string(seed), RealisticDocument(500 + (seed * 37) % 6000, seed)});
  }
  for (const Pathology& p : Pathologies()) {
    for (int step = 1; step <= 8; ++step) {
      const int scale = std::max(step, p.fullScale / 4000 * step);
      documents.push_back({p.name + "-" + std::to_string(scale), p.make(scale)});
    }
  }
  for (unsigned seed = 1; seed <= 1600; ++seed) {
    documents.push_back({"hostile-" + std::to_string(seed), HostileDocument(seed)});
  }
  for (unsigned seed = 1; seed <= 1600; ++seed) {
    documents.push_back({"mutated-" + std::to_string(seed), MutatedDocument(seed)});
  }
  return documents;
}

}  // namespace pomvex::bench
