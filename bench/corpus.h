// The benchmark's documents, made from a fixed seed: realistic ChiWriter papers (equations with
// script lines, Greek and mathematical fonts, tables with tabs, footnotes, page furniture) and
// pathological documents, each stressing one step of the conversion at a chosen scale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pomvex::bench {

// A realistic document of about targetBytes bytes, with CR LF line ends; without big operators,
// its equations hold scripts but no two-dimensional mathematics.
std::string RealisticDocument(std::size_t targetBytes, unsigned seed, bool bigOperators = true);

struct Pathology {
  std::string name;         // short, for the table
  std::string description;  // what the full-size document holds
  int fullScale;            // the scale of the full-size document; the half size is half of it
  std::string (*make)(int scale);
};

// The pathological families. Each document's size grows in proportion to its scale.
const std::vector<Pathology>& Pathologies();

// A document with a name that tells how it was made.
struct NamedDocument {
  std::string name;
  std::string bytes;
};

// Several thousand small documents, made from fixed seeds, for the tests that hold the
// conversion to its output byte for byte: realistic papers of a few kilobytes, the pathological
// families at small scales, documents made of hostile pieces (unknown commands, lone and doubled
// backslashes, script lines in every position, tabs, centring, rules, footnotes, page numbers,
// pictures, hyphenation marks, line drawing, stray line ends) under varied headers and page
// sections, and realistic papers with such pieces put in at random places.
std::vector<NamedDocument> SmallDocuments();

// The length of the longest line as the converter reads lines: a carriage return ends a line
// (with a line feed right after it), any other line feed is an ordinary character.
std::size_t LongestLine(const std::string& document);

}  // namespace pomvex::bench
