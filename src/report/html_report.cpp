#include "report/html_report.h"

#include <algorithm>

#include "base/reporting.h"
#include "platform/platform_errors.h"
#include "report/group_view.h"
#include "report/report_paths.h"
#include "report/text_forms.h"

namespace pomvex::report {

namespace {

constexpr const char* kStyle = R"(
body{font:15px/1.45 system-ui,"Segoe UI",Helvetica,Arial,sans-serif;color:#1d2430;background:#fff;margin:0 auto;padding:16px 24px;max-width:1240px}
h1{font-size:1.6em;margin:.2em 0 .4em}h2{font-size:1.25em;margin:1.6em 0 .5em;border-bottom:2px solid #d5dbe5;padding-bottom:.2em}
h3{font-size:1.08em;margin:0 0 .3em}h4{font-size:.95em;margin:.8em 0 .3em;color:#3b4656}
.run{display:grid;grid-template-columns:max-content 1fr;gap:2px 16px;margin:0 0 1em}.run dt{font-weight:600}.run dd{margin:0;overflow-wrap:anywhere}
.ending{background:#fff4d6;border-left:4px solid #d99a00;padding:6px 10px}
.chart{max-width:100%;height:auto;font:13px system-ui,Helvetica,Arial,sans-serif}
table{border-collapse:collapse;width:100%;margin:.3em 0 .6em}th,td{text-align:left;padding:3px 8px;border-bottom:1px solid #e3e7ee;vertical-align:top}
th{background:#f2f4f8;font-weight:600}td.n,th.n{text-align:right;white-space:nowrap}td.msg{overflow-wrap:anywhere;font-family:ui-monospace,Consolas,"DejaVu Sans Mono",monospace;font-size:.9em}
.error td.kind{color:#b3261e;font-weight:600}.warning td.kind{color:#8a5a00;font-weight:600}
.doc{border:1px solid #d5dbe5;border-radius:6px;padding:10px 14px;margin:0 0 18px}
.status{font-size:.8em;font-weight:600;padding:1px 7px;border-radius:9px;background:#e6ebf2;vertical-align:middle}
.s-converted{background:#dcefe0;color:#1d5e2c}.s-abandoned,.s-unreadable{background:#f8dcda;color:#8c1d18}.s-skipped,.s-not-version-3{background:#fff0c8;color:#6b4b00}
.meta{color:#566173;margin:0 0 .4em;font-size:.9em;overflow-wrap:anywhere}.more{color:#566173;font-style:italic}
.pair{display:grid;grid-template-columns:minmax(0,3fr) minmax(0,2fr);gap:12px;align-items:start}
pre.grid{margin:0;padding:6px 8px;background:#f7f8fb;border:1px solid #e3e7ee;overflow-x:auto;font:13px/1.5 ui-monospace,Consolas,"DejaVu Sans Mono",monospace}
.row{display:block}.row.main{background:#eef3ff}.ln{color:#8a94a6;user-select:none}
.cmd{color:#6a3fb5;background:#f1ebfb}.font{color:#0b6e69;background:#e3f4f2}.hs{color:#b0570c;background:#fdeedd}.sp{color:#0a4fa8}
.flag{background:#ffd84d;outline:1px solid #c79400;color:#1d2430}.flagrow{background:#fff3b8}.no{color:#b3261e;font-weight:700;font-size:.7em}.cut{color:#8a94a6}.pad{background:repeating-linear-gradient(90deg,transparent 0 3px,#e3e7ee 3px 4px)}
.rtf{padding:6px 10px;border:1px solid #e3e7ee;background:#fff;font-family:Georgia,"Times New Roman",serif;overflow-wrap:anywhere}
.rtf .math{background:#eef6ec;border-bottom:1px dotted #2f7d32}.rtf .tab{color:#8a94a6}.fn{color:#566173;font-size:.9em}.gp{margin:.3em 0 0;padding-left:1.6em;font-size:.9em}
.legend{font-size:.85em;color:#566173}
@media print{body{max-width:none;padding:0;font-size:10pt}a{color:inherit;text-decoration:none}.doc{break-inside:auto;border:none;border-top:1px solid #999;border-radius:0;padding:6px 0}.group{break-inside:avoid}pre.grid{overflow:visible;font-size:7.5pt;white-space:pre}.pair{grid-template-columns:1fr}.row.main,.flagrow,.flag,.cmd,.font,.hs,th{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

std::string Count(long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The status as a class name: letters and hyphens.
std::string StatusClass(const char* status) {
  std::string name = "s-";
  for (const char* c = status; *c != '\0'; ++c) name += *c == ' ' ? '-' : *c;
  return name;
}

// The bar chart of the run's problems by category (and its warnings), as inline SVG.
std::string Chart(const RunTally& tally) {
  std::vector<std::pair<std::string, int>> bars;
  for (int category = 1; category <= kCategoryCount; ++category) {
    if (tally.categories[category] != 0) {
      bars.push_back(
          {std::to_string(category) + " " + CategoryName(category), tally.categories[category]});
    }
  }
  if (tally.warnings != 0) bars.push_back({"warnings", tally.warnings});
  if (bars.empty()) return "<p>No problems were met.</p>";
  int most = 1;
  for (const auto& bar : bars) most = std::max(most, bar.second);
  constexpr int kRow = 26, kLabel = 400, kBar = 520;
  const int height = static_cast<int>(bars.size()) * kRow + 4;
  std::string svg =
      "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"" +
      std::to_string(height) + "\" viewBox=\"0 0 1000 " + std::to_string(height) +
      "\" role=\"img\" aria-label=\"Problems by category\">";
  int y = 2;
  for (const auto& [label, count] : bars) {
    const int width = std::max(2, static_cast<int>(static_cast<long long>(kBar) * count / most));
    const bool warning = label == "warnings";
    svg += "<text x=\"" + std::to_string(kLabel - 8) + "\" y=\"" + std::to_string(y + 17) +
           "\" text-anchor=\"end\" fill=\"#1d2430\">" + Html(label) + "</text>";
    svg += "<rect x=\"" + std::to_string(kLabel) + "\" y=\"" + std::to_string(y + 3) +
           "\" width=\"" + std::to_string(width) + "\" height=\"19\" rx=\"2\" fill=\"" +
           (warning ? "#d99a00" : "#c0392b") + "\"></rect>";
    svg += "<text x=\"" + std::to_string(kLabel + width + 6) + "\" y=\"" + std::to_string(y + 17) +
           "\" fill=\"#1d2430\">" + std::to_string(count) + "</text>";
    y += kRow;
  }
  return svg + "</svg>";
}

}  // namespace

HtmlReport::HtmlReport(std::string path) : page_(std::move(path)) {
  parts_ = CreateUniqueFile(page_.Path() + ".parts.tmp", "");
}

HtmlReport::~HtmlReport() {
  if (parts_) parts_->Discard();
}

HtmlReport::Part HtmlReport::WritePart(const std::string& text) {
  const Part part{partsSize_, text.size()};
  parts_->Write(text);
  partsSize_ += text.size();
  return part;
}

void HtmlReport::EntryBegins(const RunEntry& entry) {
  (void)entry;
  rows_.clear();
  problems_ = errors_ = groups_ = 0;
  messages_.clear();
}

void HtmlReport::ProblemsCommitted(const RunEntry& entry, const std::vector<Problem>& problems) {
  const std::string id = "d" + std::to_string(placed_.size());
  for (const Problem& problem : problems) {
    tally_.Count(problem);
    ++problems_;
    errors_ += problem.category != 0;
    groups_ = std::max(groups_, static_cast<long>(problem.group) + 1);
    const std::string message = NameText(problem.text);
    const bool detailed = problem.group >= 0 && problem.group < kDetailedGroups;
    if (detailed) {
      if (messages_.size() <= static_cast<std::size_t>(problem.group)) {
        messages_.resize(problem.group + 1);
      }
      std::vector<std::string>& group = messages_[problem.group];
      if (group.size() < kGroupMessages) group.push_back(message);
    }
    if (problems_ > kListedProblems) continue;
    rows_ += std::string("<tr class=\"") + KindText(problem) + "\"><td class=\"n\">";
    if (problem.line == 0) {
      rows_ += "&#8211;";
    } else if (detailed) {
      rows_ += "<a href=\"#" + id + "-g" + std::to_string(problem.group) + "\">" +
               std::to_string(problem.line) + "</a>";
    } else {
      rows_ += std::to_string(problem.line);
    }
    rows_ += std::string("</td><td class=\"kind\">") + KindText(problem) + "</td><td>";
    if (problem.category != 0) {
      rows_ += std::to_string(problem.category) + " " + Html(CategoryName(problem.category));
    }
    rows_ += "</td><td class=\"msg\">" + Html(message) + "</td></tr>";
  }
  (void)entry;
}

// One line group of a document's section: its lines as the document laid them out beside what
// the RTF reads, and the problems met in it.
std::string HtmlReport::GroupHtml(const GroupDetail& detail, const std::string& id) const {
  std::string html;
  static const std::vector<std::string> kNone;
  const std::vector<std::string>& messages =
      static_cast<std::size_t>(detail.group) < messages_.size() ? messages_[detail.group] : kNone;
  const long last = detail.firstLine + static_cast<long>(detail.lines.size()) - 1;
  html += "<div class=\"group\" id=\"" + id + "-g" + std::to_string(detail.group) + "\"><h4>";
  html += last > detail.firstLine
              ? "Lines " + std::to_string(detail.firstLine) + "&#8211;" + std::to_string(last)
              : "Line " + std::to_string(detail.firstLine);
  if (!detail.section.empty()) {
    html += std::string(" (") + (detail.footnote ? "footnote section " : "section ") +
            Html(NameText(detail.section)) + ")";
  }
  std::string reads = RtfTextHtml(detail.rtf);
  if (reads.empty() || reads == "<br>") reads = "<span class=\"more\">(no text)</span>";
  html += "</h4><div class=\"pair\"><div>" + GroupGridHtml(detail, messages) +
          "</div><div class=\"rtf\">" + reads;
  if (detail.rtfCut) html += " &#8230;";
  html += "</div></div><ol class=\"gp\">";
  for (const std::string& message : messages) html += "<li>" + Html(message) + "</li>";
  html += "</ol></div>";
  return html;
}

void HtmlReport::EntryCommitted(const RunEntry& entry, bool finished) {
  tally_.Count(entry, finished);
  const bool document = entry.IsDocument();
  if (!document && problems_ == 0) return;
  const std::string& path = document ? entry.document : entry.folder;
  const std::string name =
      NameText(path.compare(0, startDir_.size(), startDir_) == 0 && !startDir_.empty()
                   ? path.substr(startDir_.size())
                   : path);
  const char* status = document ? StatusText(entry, finished) : "unreadable";
  const std::string badge =
      "<span class=\"status " + StatusClass(status) + "\">" + status + "</span>";
  const bool kept = document && finished && entry.output != nullptr;
  if (problems_ == 0) {
    clean_.push_back(WritePart("<tr><td>" + Html(name) + "</td><td>" + badge + "</td><td>" +
                               (kept ? Html(NameText(entry.output->Path())) : "") +
                               "</td></tr>\n"));
    return;
  }
  const std::string id = "d" + std::to_string(placed_.size());
  Placed placed;
  placed.problems = problems_;
  const long warnings = problems_ - errors_;
  const std::string counts =
      Count(errors_, "error", "errors") + ", " + Count(warnings, "warning", "warnings");
  placed.row = WritePart("<tr><td><a href=\"#" + id + "\">" + Html(name) + "</a>" +
                         (document ? "" : " (folder)") + "</td><td>" + badge +
                         "</td><td class=\"n\">" + std::to_string(errors_) +
                         "</td><td class=\"n\">" + std::to_string(warnings) + "</td></tr>\n");
  std::string html = "<section class=\"doc\" id=\"" + id + "\"><h3>" + Html(name) + " " + badge +
                     "</h3><p class=\"meta\">" + counts;
  if (kept) html += " &#183; RTF: " + Html(NameText(entry.output->Path()));
  if (!document) html += " &#183; a folder that could not be read";
  html +=
      "</p><table><thead><tr><th class=\"n\">Line</th><th>Kind</th><th>Category</th>"
      "<th>Message</th></tr></thead><tbody>" +
      rows_ + "</tbody></table>";
  if (problems_ > kListedProblems) {
    html += "<p class=\"more\">and " +
            Count(problems_ - kListedProblems, "more problem", "more problems") +
            " (all of them are in the log)</p>";
  }
  for (const GroupDetail& detail : entry.details) html += GroupHtml(detail, id);
  const long more = groups_ - static_cast<long>(entry.details.size());
  if (more > 0) {
    html += "<p class=\"more\">and " +
            Count(more, "more line group with problems", "more line groups with problems") +
            " (their lines are in the table above)</p>";
  }
  html += "</section>\n";
  placed.section = WritePart(html);
  placed_.push_back(placed);
}

void HtmlReport::CopyPart(platform::FileHandle parts, const Part& part) {
  if (part.size == 0) return;
  if (const int err = platform::SeekFile(parts, part.offset); err != 0) {
    throw RunFailure(MessageForErrno(err), parts_->Path());
  }
  std::string buffer(static_cast<std::size_t>(part.size), '\0');
  std::size_t got = 0;
  while (got < buffer.size()) {
    int err = 0;
    const long n = platform::ReadSome(parts, buffer.data() + got, buffer.size() - got, err);
    if (n < 0) throw RunFailure(MessageForErrno(err), parts_->Path());
    if (n == 0) throw RunFailure("Read beyond end of file", parts_->Path());
    got += static_cast<std::size_t>(n);
  }
  page_.Out().Write(buffer);
}

std::string HtmlReport::Header(const RunOutcome& outcome) const {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n" +
      std::string(kPageMarker) +
      "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Pomvex report: " +
      Html(NameText(outcome.startDir)) + "</title>\n<style>" + kStyle +
      "</style>\n</head>\n<body>\n<h1>Pomvex conversion report</h1>\n<dl class=\"run\">";
  auto item = [&](const char* term, const std::string& value) {
    html += std::string("<dt>") + term + "</dt><dd>" + value + "</dd>";
  };
  item("Start directory", Html(NameText(outcome.startDir)));
  if (!outcome.logPath.empty()) item("Log", Html(NameText(outcome.logPath)));
  item("Documents", std::to_string(tally_.documents));
  item("Converted", std::to_string(tally_.converted));
  item("Errors", std::to_string(tally_.errors));
  item("Warnings", std::to_string(tally_.warnings));
  item("Documents with problems", std::to_string(placed_.size()));
  html += "</dl>\n";
  if (!outcome.ending.empty()) {
    html += "<p class=\"ending\">" + Html(NameText(outcome.ending)) + "</p>\n";
  }
  html += "<h2>Problems by category</h2>\n" + Chart(tally_) + "\n";
  return html;
}

void HtmlReport::RunEnded(const RunOutcome& outcome) {
  // The documents with the most problems first; among equals, the walk's order.
  std::vector<std::size_t> order(placed_.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return placed_[a].problems > placed_[b].problems;
  });
  parts_->Close();
  int err = 0;
  const platform::FileHandle parts = platform::OpenForReading(parts_->Path(), err);
  if (parts == platform::kNoFile) throw RunFailure(MessageForErrno(err), parts_->Path());
  try {
    OutputFile& page = page_.Out();
    page.Write(Header(outcome));
    if (!placed_.empty()) {
      page.Write(
          "<h2>Documents with problems</h2>\n<table><thead><tr><th>Document</th><th>Status</th>"
          "<th class=\"n\">Errors</th><th class=\"n\">Warnings</th></tr></thead><tbody>\n");
      for (std::size_t k : order) CopyPart(parts, placed_[k].row);
      page.Write(
          "</tbody></table>\n<p class=\"legend\">In the lines below: "
          "<span class=\"cmd\">\\c</span> a command, <span class=\"font\">\\1</span> a "
          "font switch, <span class=\"hs\">&#183;</span> a hard space, "
          "<span class=\"sp\">&#945;</span> a character of a special font, "
          "<span class=\"flag\">flagged</span> what a problem<sup class=\"no\">1</sup> "
          "points at; beside them, what the RTF paragraph reads.</p>\n");
      for (std::size_t k : order) CopyPart(parts, placed_[k].section);
    }
    if (!clean_.empty()) {
      page.Write("<h2>Documents without problems</h2>\n<details><summary>" +
                 Count(static_cast<long>(clean_.size()), "document", "documents") +
                 "</summary><table><thead><tr><th>Document</th><th>Status</th><th>RTF file</th>"
                 "</tr></thead><tbody>\n");
      for (const Part& part : clean_) CopyPart(parts, part);
      page.Write("</tbody></table></details>\n");
    }
    page.Write("</body>\n</html>\n");
  } catch (...) {
    platform::CloseFile(parts);
    throw;
  }
  platform::CloseFile(parts);
  parts_->Discard();
  parts_.reset();
  page_.Finish();
}

}  // namespace pomvex::report
