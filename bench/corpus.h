// The benchmark's documents, made from a fixed seed: realistic ChiWriter papers (equations with
// script lines, Greek and mathematical fonts, tables with tabs, footnotes, page furniture) and
// pathological documents, each stressing one step of the conversion at a chosen scale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pomvex::bench {

// A realistic document of about targetBytes bytes, with CR LF line ends.
std::string RealisticDocument(std::size_t targetBytes, unsigned seed);

struct Pathology {
  std::string name;         // short, for the table
  std::string description;  // what the full-size document holds
  int fullScale;            // the scale of the full-size document; the half size is half of it
  std::string (*make)(int scale);
};

// The pathological families. Each document's size grows in proportion to its scale.
const std::vector<Pathology>& Pathologies();

// The length of the longest line as the converter reads lines: a carriage return ends a line
// (with a line feed right after it), any other line feed is an ordinary character.
std::size_t LongestLine(const std::string& document);

}  // namespace pomvex::bench
