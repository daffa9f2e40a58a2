// The concordance passes on any text, keys and query: the keyword pass finds exactly what the
// plain one-character ring pass finds, the whole-line pass runs, and a whole run (ordering,
// concordance or index) succeeds.
#include "base/cp1252.h"
#include "concordance/citation.h"
#include "concordance/concordance_run.h"
#include "concordance/gather.h"
#include "fuzz_support.h"
#include "reference_passes.h"

namespace {

using namespace wordloom;

std::string Describe(const std::vector<CitationRecord>& records) {
  std::string text;
  for (const CitationRecord& record : records) text += test::Describe(record) + "\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wordloom::fuzz;
  const ScratchFolder& scratch = FuzzScratch();

  FuzzInput input(data, size);
  const ScanRules rules = TakeRules(input);
  const CharTables tables = BuildCharTables(rules);
  GatherQuery query;
  const int keyCount = 1 + input.Number(3);
  for (int i = 0; i < keyCount; ++i) query.keys.push_back(Lower1252(input.String(10)));
  query.kind = static_cast<MatchKind>(1 + input.Number(3));
  query.keepContexts = input.Flag();
  query.halfWidth = 5 + input.Number(115);
  const std::string letters = input.String(4);
  query.letters = ParseCitationLetters(letters);
  query.lineNumberWidth = 1 + input.Number(6);
  query.blockSize = input.Flag() ? 64 * 1024 : 1 + input.Number(255);
  const CitationOrder order = static_cast<CitationOrder>(1 + input.Number(2));
  const bool index = input.Flag();
  const bool line = input.Flag();
  const std::string text = input.Rest();
  const std::string file = WriteFuzzFile("text.txt", text);

  // The keyword pass reads with one space for an empty end-of-line text.
  ScanRules kwicRules = rules;
  if (kwicRules.endOfLine.empty()) kwicRules.endOfLine = " ";
  ScanContext fast, plain;
  test::CollectedFinds fastFinds, plainFinds;
  const Status fastStatus = GatherKwic(fast, kwicRules, tables, file, query, fastFinds);
  const Status plainStatus = test::ReferenceKwic(plain, kwicRules, tables, file, query, plainFinds);
  FUZZ_CHECK(fastStatus.ok() && plainStatus.ok(), fastStatus.message() + plainStatus.message());
  FUZZ_CHECK(Describe(fastFinds.records) == Describe(plainFinds.records),
             "the keyword pass differs from the ring pass:\n" + Describe(fastFinds.records) + "---\n" +
                 Describe(plainFinds.records));
  FUZZ_CHECK(fast.state.currentLineNumber == plain.state.currentLineNumber &&
                 fast.state.logicalLineTotal == plain.state.logicalLineTotal &&
                 fast.state.physicalLineTotal == plain.state.physicalLineTotal &&
                 fast.ErrorReportText == plain.ErrorReportText,
             "the keyword pass leaves the reader otherwise than the ring pass");

  ScanContext lineContext;
  test::CollectedFinds lineFinds;
  const Status lineStatus = GatherLine(lineContext, rules, tables, file, query, lineFinds);
  FUZZ_CHECK(lineStatus.ok(), lineStatus.message());

  Session session;
  session.project.Files = {file};
  session.project.rules = rules;
  session.tables = tables;
  ConcordanceQuery run;
  run.kind = line ? ConcordanceKind::Line : ConcordanceKind::Kwic;
  for (const std::string& key : query.keys) run.keys += key + " ";
  run.match = query.kind;
  run.index = index;
  run.order = order;
  run.citationLetters = letters;
  run.contextWidth = static_cast<int>(query.halfWidth * 2);
  ConcordanceResult result;
  ConcordanceOptions options;
  options.sort.budgetBytes = query.blockSize < 64 ? 512 : 32u << 20;
  const Status runStatus = RunConcordance(session, run, scratch, result, options);
  FUZZ_CHECK(runStatus.ok(), runStatus.message());
  return 0;
}
