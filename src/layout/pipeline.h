// The line markup pipeline: fifteen rewrites, in a fixed order, that turn one merged ChiWriter
// line into the body of an RTF paragraph.
#pragma once

#include <string>

#include "base/commands.h"
#include "base/document_state.h"

namespace pomvex {

// Step 1: a line that continues a paragraph loses its leading spaces and layout commands.
void TrimContinuationLine(std::string& line, bool startsParagraph);
// Step 10: braces of the text are escaped. A brace that already follows a backslash (the
// commands "\{" and "\}") is an RTF literal brace as it stands, and the group in which the
// translation wrote a character in font 5 stays a group; a lone backslash at the end of the
// line is doubled, so that it cannot join the words that close the paragraph.
void EscapeBraces(std::string& line);

// Steps 8 (with collapse) and 10 to 15 in one pass over the line: the line they leave when run
// one after the other (EscapeBraces, ConvertFootnoteRefs with the document's footnote
// insertion, ConvertScriptMarkers, ConvertRules, ConvertPageNumber, RemoveSpaceEscapes).
void ConvertLateSteps(DocumentState& doc, std::string& line, bool collapse, bool startsParagraph,
                      int halfPoints);

// Runs the fifteen steps. tabStops receives the tab stop words of the line's tabs. The texts of
// the footnotes the line makes may stand in it as markers: WriteWithFootnotes writes it.
void ProcessLineMarkup(DocumentState& doc, std::string& line, bool startsParagraph,
                       std::string& tabStops);
// The same for a line whose commands are known: has holds them, or more (a step whose commands
// the line lacks is passed, and one run on a line without them leaves it as it is).
void ProcessLineMarkup(DocumentState& doc, std::string& line, const CommandSummary& has,
                       bool startsParagraph, std::string& tabStops);

}  // namespace pomvex
