// The conversion of one ChiWriter document into one RTF document, from the opened input to the
// closed output, and of one file into the RTF file written beside it or in the output tree.
#pragma once

#include <string>

#include "app/run_state.h"
#include "base/document_state.h"
#include "base/text_input.h"
#include "base/text_sink.h"

namespace pomvex {

// Converts one document. Gives false, with nothing written, when the input is not a version-3
// document. Throws ConversionAbandoned when a limit of the document is met.
bool ConvertDocument(DocumentState& doc, TextInput& in, TextSink& out);

// Converts the file at path into an RTF file beside it (or at its place in the run's output
// tree), logging its name and problem counts.
void ConvertFile(RunState& run, const std::string& path);

}  // namespace pomvex
