// The conversion of one ChiWriter document into one RTF document, from the opened input to the
// closed output: the header, the sections that open the body, the prolog, the body.
#pragma once

#include "base/document_state.h"
#include "base/text_input.h"
#include "base/text_sink.h"

namespace pomvex {

// Converts one document. Gives false, with nothing written, when the input is not a version-3
// document. Throws ConversionAbandoned when a limit of the document is met.
bool ConvertDocument(DocumentState& doc, TextInput& in, TextSink& out);

}  // namespace pomvex
