// The SYMBOL font: typographic signs (bullet, daggers, primes, trade marks) and a few
// characters of the ANSI code page, written with upper-case hex digits.
#include "charmaps/char_table.h"
#include "charmaps/special_chars.h"

namespace pomvex {

namespace charmaps {
namespace {

// clang-format off
constexpr CharRow kSymbolRows[] = {
    {'$', Hex("A3")}, {'\'', U(8243)}, {'-', U(8722)},
    {'.', U(8226)}, {'1', U(8270)}, {'2', U(8224)},
    {'3', U(8225)}, {'=', U(8722)}, {'>', U(9656)},
    {'C', Hex("A9")}, {'P', Hex("B6")}, {'R', Hex("AE")},
    {'S', Hex("A7")}, {'T', U(8482)}, {'Y', U(1200)},
    {'`', U(8246)}, {'c', Hex("A2")}, {'f', U(402)},
    {'t', Hex("A0")},
};
// clang-format on

constexpr CharTable kSymbolTable = MakeCharTable("SYMBOL", NoMapping(), kSymbolRows);
static_assert(kSymbolTable.entryCount == 19);

}  // namespace

const CharTable& SymbolTable() {
  return kSymbolTable;
}

}  // namespace charmaps

std::string TranslateSymbolChar(Reporter& report, unsigned char ch) {
  return charmaps::TranslateTableChar(report, charmaps::SymbolTable(), ch);
}

}  // namespace pomvex
