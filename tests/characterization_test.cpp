// Holds the conversion to its output byte for byte. Several thousand small documents, made from
// fixed seeds (bench/corpus.h), are converted in memory with and without every script run kept;
// the RTF and the log lines of each (as a detailed log writes them, with their categories) are
// hashed and compared with the hashes in data/characterization.txt, so that a change names the
// documents it changed. With POMVEX_RECORD_CHARACTERIZATION=FILE the hashes are written to FILE.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/folder_listing.h"
#include "corpus.h"
#include "document/convert_document.h"
#include "test_support.h"

namespace pomvex {
namespace {

// Over all documents in their order, the per-document hashes of each configuration hashed.
constexpr std::uint64_t kAllStandard = 0xd3f34b0d7f1f7356;
constexpr std::uint64_t kAllKeepAll = 0x9a02a65ae5f33c86;
constexpr std::size_t kDocuments = 3588;

class Fnv64 {
 public:
  void Add(std::string_view s) {
    for (char c : s) {
      hash_ ^= static_cast<unsigned char>(c);
      hash_ *= 0x100000001b3u;
    }
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325u;
};

// The log lines of a document as a detailed log writes them, each after its category.
class LogLines : public Reporter {
 public:
  void ReportError(Category category, const std::string& text) override {
    lines += std::to_string(CategoryNumber(category)) + "    Error: " + PrintableText(text) + "\n";
  }
  void ReportWarning(const std::string& text) override {
    lines += "0    Warning: " + PrintableText(text) + "\n";
  }
  std::string lines;
};

std::uint64_t ConversionHash(const std::string& chi, bool keepAllScripts) {
  LogLines log;
  DocumentState doc(log);
  doc.KeepAllScripts = keepAllScripts;
  doc.CheckRtfGroups = true;
  std::istringstream stream(chi);
  TextInput in(stream);
  StringSink sink;
  std::string outcome;
  try {
    outcome = ConvertDocument(doc, in, sink) ? "converted" : "no document";
  } catch (const ConversionAbandoned& limit) {
    outcome = std::string("abandoned: ") + limit.what();
  }
  Fnv64 hash;
  hash.Add(outcome);
  hash.Add("\n");
  hash.Add(sink.Text());
  hash.Add("\n");
  hash.Add(log.lines);
  return hash.Value();
}

// A group of a hundred superscript lines nests a hundred runs when every run is kept, and the
// font size of a run nested that deep no longer fits an int: the pathological tall groups are
// held to their conversion with the standard merge alone ("-" for the other).
bool KeepAllOverflows(const std::string& name) {
  return name.starts_with("tall-groups-");
}

std::string Hex(std::uint64_t v) {
  std::ostringstream s;
  s << std::hex << v;
  return s.str();
}

TEST(Characterization, EveryDocumentConvertsAsRecorded) {
  const std::vector<bench::NamedDocument> documents = bench::SmallDocuments();
  std::ostringstream table;
  Fnv64 allStandard;
  Fnv64 allKeepAll;
  for (const bench::NamedDocument& d : documents) {
    const std::string standard = Hex(ConversionHash(d.bytes, false));
    const std::string keepAll = KeepAllOverflows(d.name) ? "-" : Hex(ConversionHash(d.bytes, true));
    allStandard.Add(standard + "\n");
    allKeepAll.Add(keepAll + "\n");
    table << d.name << ' ' << standard << ' ' << keepAll << '\n';
  }
  if (const char* record = std::getenv("POMVEX_RECORD_CHARACTERIZATION")) {
    std::ofstream(record, std::ios::binary) << table.str();
    std::printf("%zu documents; standard %s, keep-all %s\n", documents.size(),
                Hex(allStandard.Value()).c_str(), Hex(allKeepAll.Value()).c_str());
    GTEST_SKIP() << "recorded in " << record;
  }
  EXPECT_EQ(documents.size(), kDocuments);
  if (allStandard.Value() == kAllStandard && allKeepAll.Value() == kAllKeepAll) return;

  // Which documents changed.
  std::ifstream recorded(std::string(POMVEX_SOURCE_DIR) + "/tests/data/characterization.txt");
  std::map<std::string, std::string> expected;
  for (std::string name, standard, keepAll; recorded >> name >> standard >> keepAll;)
    expected[name] = standard + " " + keepAll;
  std::istringstream now(table.str());
  int changed = 0;
  for (std::string name, standard, keepAll; now >> name >> standard >> keepAll;) {
    if (expected[name] == standard + " " + keepAll) continue;
    if (++changed <= 20)
      ADD_FAILURE() << name << " (standard, keep-all): " << expected[name] << " recorded, "
                    << standard << " " << keepAll << " now";
  }
  ADD_FAILURE() << changed << " of " << documents.size() << " documents convert otherwise";
}

// With formulas, every document still converts to one RTF group, and one in which no formula
// is found converts to exactly what it gives without them.
TEST(Characterization, FormulasChangeOnlyTheGroupsTheyAreFoundIn) {
  int withFormulas = 0;
  for (const bench::NamedDocument& d : bench::SmallDocuments()) {
    const testing::ConvertedDocument standard = testing::ConvertInMemory(d.bytes);
    const testing::ConvertedDocument equations =
        testing::ConvertInMemory(d.bytes, false, /*equations=*/true);
    ASSERT_EQ(equations.isDocument, standard.isDocument) << d.name;
    if (equations.rtf.find("{\\mmath") != std::string::npos) {
      ++withFormulas;
      continue;
    }
    EXPECT_EQ(equations.rtf, standard.rtf) << d.name;
  }
  EXPECT_GT(withFormulas, 0);
}

}  // namespace
}  // namespace pomvex
