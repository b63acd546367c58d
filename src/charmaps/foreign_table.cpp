// The FOREIGN font: accented and national letters of the European languages, mostly from the
// ANSI code page (lower-case hex digits); four characters stand for themselves.
#include "charmaps/char_table.h"
#include "charmaps/special_chars.h"

namespace pomvex {

namespace charmaps {
namespace {

// clang-format off
constexpr CharRow kForeignRows[] = {
    {'!', Hex("a1")}, {'"', Kept()}, {'#', Hex("d8")},
    {'$', Hex("c6")}, {'%', U(338)}, {'\'', U(8242)},
    {'(', Hex("de")}, {',', Hex("e3")}, {'-', Kept()},
    {'.', Hex("ff")}, {'0', Hex("b0")}, {'2', Hex("e5")},
    {'3', Hex("f8")}, {'4', Hex("e6")}, {'5', U(339)},
    {'9', Hex("fe")}, {':', U(273)}, {';', U(272)},
    {'<', Hex("c3")}, {'>', Hex("9f")}, {'?', Hex("bf")},
    {'@', Hex("c5")}, {'A', Hex("c4")}, {'C', Hex("c7")},
    {'D', Hex("c2")}, {'E', Hex("ca")}, {'F', Hex("c0")},
    {'G', Hex("cf")}, {'H', Hex("cd")}, {'I', Hex("d9")},
    {'J', Hex("ce")}, {'K', Hex("cc")}, {'L', U(321)},
    {'M', Hex("d5")}, {'N', Hex("d1")}, {'O', Hex("d6")},
    {'P', Hex("d3")}, {'Q', Hex("cb")}, {'R', Hex("c8")},
    {'S', Hex("c1")}, {'T', Hex("dc")}, {'U', Hex("db")},
    {'V', U(774)}, {'W', Hex("c9")}, {'X', U(350)},
    {'Y', Hex("da")}, {'Z', U(268)}, {'[', Hex("f4")},
    {'\\', Hex("9a")}, {']', Hex("f2")}, {'^', U(710)},
    {'`', Kept()}, {'a', Hex("e4")}, {'b', Hex("df")},
    {'c', Hex("e7")}, {'d', Hex("e2")}, {'e', Hex("ea")},
    {'f', Hex("e0")}, {'g', Hex("ef")}, {'h', Hex("ed")},
    {'i', Hex("f9")}, {'j', Hex("ee")}, {'k', Hex("ec")},
    {'l', U(322)}, {'m', Hex("f5")}, {'n', Hex("f1")},
    {'o', Hex("f6")}, {'p', Hex("f3")}, {'q', Hex("eb")},
    {'r', Hex("e8")}, {'s', Hex("e1")}, {'t', Hex("fc")},
    {'u', Hex("fb")}, {'v', U(711)}, {'w', Hex("e9")},
    {'x', U(351)}, {'y', Hex("fa")}, {'z', U(269)},
    {'{', Hex("d4")}, {'|', Hex("8a")}, {'}', Hex("d2")},
    {'~', Kept()},
};
// clang-format on

constexpr CharTable kForeignTable = MakeCharTable("FOREIGN", NoMapping(), kForeignRows);
static_assert(kForeignTable.entryCount == 82);

}  // namespace

const CharTable& ForeignTable() {
  return kForeignTable;
}

}  // namespace charmaps

}  // namespace pomvex
