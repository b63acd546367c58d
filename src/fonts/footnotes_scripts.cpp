// Interim: pass-through.
#include "fonts/footnotes_scripts.h"

namespace pomvex {

void ConvertFootnoteRefs(DocumentState&, std::string&) {}
void ConvertScriptMarkers(std::string&) {}
void ConvertPageNumber(const DocumentState&, std::string&) {}
void RemoveSpaceEscapes(std::string&) {}

}  // namespace pomvex
