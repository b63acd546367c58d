// The fixed opening of every RTF document written: header words, page margins from the
// document's settings, default size, font table and information group.
#pragma once

#include <cstdint>
#include <string>

#include "base/document_state.h"

namespace pomvex {

struct PrologMargins {
  std::int32_t leftRight;  // LM x 144 twips
  std::int32_t topBottom;  // BM x 144 twips
};

// The margins in twips; a setting too large for 32-bit twips abandons the document.
PrologMargins PrologMarginsOf(const DocumentSettings& settings);

// The twelve prolog lines, each ending in CR LF. The first continues the opening "{".
// facingPages adds "\facingp" (the document has a left-page header or footer).
std::string RtfProlog(const DocumentSettings& settings, const PrologMargins& margins,
                      bool facingPages);

}  // namespace pomvex
