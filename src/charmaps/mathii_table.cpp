// The MATHII font: pieces of large brackets, integrals and roots, big operators and the
// double-struck capitals; those beyond 65535 are shown in font 5.
#include "charmaps/char_table.h"
#include "charmaps/special_chars.h"

namespace pomvex {

namespace charmaps {
namespace {

// clang-format off
constexpr CharRow kMathIIRows[] = {
    {'!', U(8968)}, {'"', U(8741)}, {'#', U(9121)},
    {'$', U(9124)}, {'&', U(9115)}, {'(', U(9581)},
    {')', U(9582)}, {'*', U(9118)}, {'-', U(818)},
    {'/', U(9585)}, {'0', U(9583)}, {'1', U(8970)},
    {'2', U(8971)}, {'3', U(9123)}, {'4', U(9126)},
    {'7', U(9117)}, {'8', U(9120)}, {'9', U(9584)},
    {'?', U(9130)}, {'@', U(8969)}, {'A', Font5(120120)},
    {'B', Font5(120121)}, {'C', U(8450)}, {'D', Font5(120123)},
    {'E', Font5(120124)}, {'F', Font5(120125)}, {'G', Font5(120126)},
    {'H', U(8461)}, {'I', Font5(120128)}, {'J', Font5(120129)},
    {'K', Font5(120130)}, {'L', Font5(120131)}, {'M', Font5(120132)},
    {'N', U(8469)}, {'O', Font5(120134)}, {'P', U(8473)},
    {'Q', U(8474)}, {'R', U(8477)}, {'S', Font5(120138)},
    {'T', Font5(120139)}, {'U', Font5(120140)}, {'V', Font5(120141)},
    {'W', Font5(120142)}, {'X', Font5(120143)}, {'Y', Font5(120144)},
    {'Z', U(8484)}, {'\\', U(9586)}, {'_', U(773)},
    {'a', U(9138)}, {'b', U(9139)}, {'c', U(9002)},
    {'e', U(8730)}, {'f', U2(9124, 9121)}, {'g', U(8720)},
    {'i', U(8992)}, {'j', U(8993)}, {'k', U(8709)},
    {'n', U(8898)}, {'o', U2(9130, 9130)}, {'p', U(8719)},
    {'q', U2(9126, 9123)}, {'r', U(8730)}, {'s', U(9138)},
    {'t', U(9139)}, {'u', U(8899)}, {'v', U2(9130, 9130)},
    {'x', U(8897)}, {'y', U(8896)}, {'{', U(9128)},
    {'|', U(9134)}, {'}', U(9132)},
    // Glyphs without a Unicode equivalent.
    {'+', NoEquivalent()}, {'5', NoEquivalent()},
    {'6', NoEquivalent()}, {'=', NoEquivalent()},
};
// clang-format on

constexpr CharTable kMathIITable = MakeCharTable("MATHII", NoMapping(), kMathIIRows);
static_assert(kMathIITable.entryCount == 71);

}  // namespace

const CharTable& MathIITable() {
  return kMathIITable;
}

}  // namespace charmaps

}  // namespace pomvex
