// The characters of the document's face. The prolog names Times New Roman; readers without it
// take Liberation Serif, its metric twin with the same characters. A translated character the
// face lacks is written in font 5, which the reader fills from a face that has it.
#pragma once

namespace pomvex::charmaps {

// Whether the document's face has a glyph for the code point.
bool DocumentFaceHas(char32_t code);

}  // namespace pomvex::charmaps
