#include "document/convert_document.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "base/line_group.h"
#include "base/rtf_groups.h"
#include "conversion/body_writer.h"
#include "conversion/line_assembly.h"
#include "conversion/rtf_prolog.h"
#include "document/header_reader.h"
#include "document/sections.h"
#include "fonts/footnotes_scripts.h"

namespace pomvex {

bool ConvertDocument(DocumentState& doc, TextInput& in, TextSink& sink) {
  // The tests and the fuzzer check that every document closes each group it opens.
  GroupCheckingSink checked(sink);
  TextSink& out = doc.CheckRtfGroups ? checked : sink;
  ResetDocumentState(doc);
  std::string line;
  if (!ReadDocumentHeader(doc, in, line)) return false;

  // The sections are converted before the prolog is written, so that the prolog knows whether
  // the document has left-page headers or footers; their text follows the prolog.
  const PrologMargins margins = PrologMarginsOf(doc.Settings);
  auto group = std::make_unique<LineGroup>();
  std::string sections;
  GroupFlow flow;
  ConvertHeaderFooterSections(doc, in, *group, std::move(line), sections, flow.linePending);
  out.Write("{");
  out.Write(RtfProlog(doc.Settings, margins, doc.HasLeftPageSection));
  WriteWithFootnotes(doc, sections, out);

  flow.paragraphEnded = true;
  flow.fontCarry = STANDARD;
  BodyWriter body(doc, out);
  // A line read ahead is always converted, even at the end of the input.
  while (!in.AtEnd() || flow.linePending) {
    const FramedLine framed = ConvertLineGroup(doc, in, *group, line, flow);
    body.Write(line, framed);
  }
  body.Close(flow);
  out.Write("}");
  if (doc.CheckRtfGroups && !checked.IsOneGroup()) {
    throw std::logic_error("The RTF document is not one group");
  }
  return true;
}

}  // namespace pomvex
