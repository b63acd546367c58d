// Interim: the main line is taken as it stands.
#include "layout/script_merge.h"

namespace pomvex {

void CheckExtraScriptLines(Reporter&, const LineGroup&) {}
void CarryFontAcrossLines(const FontSlotTable&, LineGroup&, FontKind&) {}
void NormaliseScriptFonts(const FontSlotTable&, LineGroup&) {}
std::string MergeScriptLines(DocumentState&, const LineGroup& group) {
  return group.Lines[group.mainIndex];
}

}  // namespace pomvex
