// The MATHI font: relations, operators, logic and set symbols.
#include "charmaps/char_table.h"
#include "charmaps/special_chars.h"

namespace pomvex {

namespace charmaps {
namespace {

// clang-format off
constexpr CharRow kMathIRows[] = {
    {'!', U(8740)}, {'"', U(8243)}, {'#', U(8802)},
    {'$', U(8800)}, {'%', U(8756)}, {'\'', U(8242)},
    {'(', U(703)}, {')', U(187)}, {'*', U(215)},
    {'+', U(177)}, {',', U(8810)}, {'-', U(8723)},
    {'.', U(8811)}, {'0', U(10522)}, {'1', U(8869)},
    {'2', U(8736)}, {'3', U(172)}, {'4', U(8656)},
    {'5', U(8660)}, {'6', U(8658)}, {'7', U(8733)},
    {'8', U(8734)}, {'9', U(8870)}, {':', U(247)},
    {';', U(8771)}, {'<', U(8804)}, {'=', U(8773)},
    {'>', U(8805)}, {'@', U(8775)}, {'A', U(8704)},
    {'B', U(8835)}, {'C', U(8834)}, {'D', U(8711)},
    {'E', U(8707)}, {'H', U(919)}, {'L', U(8594)},
    {'N', U(8741)}, {'P', U(8718)}, {'Q', U(8729)},
    {'S', U(8721)}, {'T', U(8868)}, {'W', U(9642)},
    {'^', U(8743)}, {'_', U(8801)}, {'`', U(8245)},
    {'b', U(8839)}, {'c', U(8838)}, {'d', U(8706)},
    {'e', U(8712)}, {'f', U(10987)}, {'h', U(8463)},
    {'i', U(8747)}, {'k', U(8750)}, {'m', U(8713)},
    {'n', U(8745)}, {'o', U(8709)}, {'p', U(9723)},
    {'q', U(8728)}, {'r', U(8715)}, {'s', U(8853)},
    {'t', U(8855)}, {'u', U(8746)}, {'v', U(8744)},
    {'w', U(8857)}, {'x', U(8854)}, {'|', U(8739)},
    {'~', U(8776)},
    // Glyphs without a Unicode equivalent.
    {'a', NoEquivalent()},
};
// clang-format on

constexpr CharTable kMathITable = MakeCharTable("MATHI", NoMapping(), kMathIRows);
static_assert(kMathITable.entryCount == 67);

}  // namespace

const CharTable& MathITable() {
  return kMathITable;
}

}  // namespace charmaps

}  // namespace pomvex
