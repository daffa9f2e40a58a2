#include "analysis/analysis_rows.h"

#include <QColor>
#include <algorithm>

#include "ui/code_page.h"

namespace wordloom::app {
namespace {

QString Measure(double value) { return QString::fromStdString(FormatMeasure(value)); }

QString Counted(size_t count, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// The rows of one analysis's run; `Row` gives the run's row at a listed index.
template <typename Run>
class RunRows : public AnalysisRows {
 public:
  RunRows(std::shared_ptr<const Run> run, const EntryList* vocabulary, TextEncoding encoding)
      : run_(std::move(run)), vocabulary_(*vocabulary), encoding_(encoding) {}
  const std::shared_ptr<const Run>& run() const { return run_; }

 protected:
  // A word of the vocabulary as the table shows it; none for a position beyond it (opening a
  // project replaces the vocabulary a moment before the table is cleared).
  QString Word(EntryPosition entry) const {
    return entry < vocabulary_.size() ? DecodeText(vocabulary_[entry].word, encoding_) : QString();
  }

  std::shared_ptr<const Run> run_;
  const EntryList& vocabulary_;
  TextEncoding encoding_;
};

class CollocateTable final : public RunRows<CollocatesRun> {
 public:
  using RunRows::RunRows;
  size_t size() const override { return run_->result.rows.size(); }
  QString Text(size_t row, int column) const override {
    const CollocateRow& shown = run_->result.rows[row];
    switch (column) {
      case kCollocateWord: return Word(shown.entry);
      case kCollocateLeft: return QString::number(shown.left);
      case kCollocateRight: return QString::number(shown.right);
      case kCollocateObserved: return QString::number(shown.observed);
      case kCollocateFrequency: return QString::number(shown.frequency);
      default: return Measure(Number(row, column));
    }
  }
  double Number(size_t row, int column) const override {
    const CollocateRow& shown = run_->result.rows[row];
    switch (column) {
      case kCollocateLeft: return static_cast<double>(shown.left);
      case kCollocateRight: return static_cast<double>(shown.right);
      case kCollocateObserved: return static_cast<double>(shown.observed);
      case kCollocateFrequency: return static_cast<double>(shown.frequency);
      case kCollocateMi: return shown.mi;
      case kCollocateT: return shown.t;
      case kCollocateLogDice: return shown.logDice;
      case kCollocateLl: return shown.ll;
      default: return static_cast<double>(row);
    }
  }
  bool WordBefore(size_t a, size_t b) const override {
    return run_->result.rows[a].entry < run_->result.rows[b].entry;
  }
};

class NgramTableRows final : public RunRows<NgramRun> {
 public:
  using RunRows::RunRows;
  size_t size() const override { return run_->result.table.size(); }
  QString Text(size_t row, int column) const override {
    const NgramTable& table = run_->result.table;
    if (column == kNgramWords) {
      const EntryPosition* words = table.words(row);
      const bool known = std::all_of(words, words + table.n(row),
                                     [&](EntryPosition word) { return word < vocabulary_.size(); });
      return known ? DecodeText(table.Text(row, vocabulary_), encoding_) : QString();
    }
    switch (column) {
      case kNgramN: return QString::number(table.n(row));
      case kNgramFrequency: return QString::number(table.frequency(row));
      default: return QString::number(table.range(row));
    }
  }
  double Number(size_t row, int column) const override {
    const NgramTable& table = run_->result.table;
    switch (column) {
      case kNgramN: return table.n(row);
      case kNgramFrequency: return static_cast<double>(table.frequency(row));
      case kNgramRange: return static_cast<double>(table.range(row));
      default: return static_cast<double>(row);
    }
  }
  // Word by word in the project's order, a shorter n-gram before the longer ones it begins.
  bool WordBefore(size_t a, size_t b) const override {
    const NgramTable& table = run_->result.table;
    return std::lexicographical_compare(table.words(a), table.words(a) + table.n(a), table.words(b),
                                        table.words(b) + table.n(b));
  }
};

class KeynessTable final : public RunRows<KeynessRun> {
 public:
  using RunRows::RunRows;
  size_t size() const override { return run_->rows.size(); }
  QString Text(size_t row, int column) const override {
    const KeynessRow& shown = run_->rows[row];
    switch (column) {
      case kKeynessWord: return Word(shown.entry);
      case kKeynessFrequency: return QString::number(shown.frequency);
      case kKeynessReference: return QString::number(shown.referenceFrequency);
      case kKeynessLl: return Measure(shown.ll);
      case kKeynessLogRatio: return Measure(shown.logRatio);
      default: return shown.positive ? QStringLiteral("+") : QStringLiteral("-");
    }
  }
  double Number(size_t row, int column) const override {
    const KeynessRow& shown = run_->rows[row];
    switch (column) {
      case kKeynessFrequency: return static_cast<double>(shown.frequency);
      case kKeynessReference: return static_cast<double>(shown.referenceFrequency);
      case kKeynessLl: return shown.ll;
      case kKeynessLogRatio: return shown.logRatio;
      case kKeynessDirection: return shown.positive ? 1 : 0;
      default: return static_cast<double>(row);
    }
  }
  bool WordBefore(size_t a, size_t b) const override { return run_->rows[a].entry < run_->rows[b].entry; }
  // Words used more than in the reference in green, less in red.
  QVariant Foreground(size_t row) const override {
    return run_->rows[row].positive ? QColor(0x1b, 0x6e, 0x20) : QColor(0xb0, 0x1c, 0x1c);
  }
};

template <typename Table>
auto RunOf(const AnalysisRows* rows) -> std::remove_cvref_t<decltype(std::declval<Table>().run())> {
  const auto* table = dynamic_cast<const Table*>(rows);
  return table ? table->run() : nullptr;
}

}  // namespace

std::vector<AnalysisColumn> CollocateTableColumns() {
  return {{"Rank", ColumnKind::Rank},         {"Word", ColumnKind::Word},   {"Left", ColumnKind::Number},
          {"Right", ColumnKind::Number},      {"Frequency", ColumnKind::Number},
          {"Collocate frequency", ColumnKind::Number},
          {"MI", ColumnKind::Number},         {"t", ColumnKind::Number},    {"logDice", ColumnKind::Number},
          {"LL", ColumnKind::Number}};
}

std::vector<AnalysisColumn> NgramTableColumns() {
  return {{"Rank", ColumnKind::Rank},
          {"N-gram", ColumnKind::Word},
          {"N", ColumnKind::Number},
          {"Frequency", ColumnKind::Number},
          {"Range", ColumnKind::Number}};
}

std::vector<AnalysisColumn> KeynessTableColumns() {
  return {{"Rank", ColumnKind::Rank},       {"Word", ColumnKind::Word},   {"Frequency", ColumnKind::Number},
          {"Reference frequency", ColumnKind::Number},
          {"LL", ColumnKind::Number},       {"Log ratio", ColumnKind::Number},
          {"Direction", ColumnKind::Number}};
}

std::shared_ptr<const AnalysisRows> CollocateRows(std::shared_ptr<const CollocatesRun> run,
                                                  const EntryList* vocabulary, TextEncoding encoding) {
  return std::make_shared<CollocateTable>(std::move(run), vocabulary, encoding);
}

std::shared_ptr<const AnalysisRows> NgramRows(std::shared_ptr<const NgramRun> run, const EntryList* vocabulary,
                                              TextEncoding encoding) {
  return std::make_shared<NgramTableRows>(std::move(run), vocabulary, encoding);
}

std::shared_ptr<const AnalysisRows> KeynessRows(std::shared_ptr<const KeynessRun> run, const EntryList* vocabulary,
                                                TextEncoding encoding) {
  return std::make_shared<KeynessTable>(std::move(run), vocabulary, encoding);
}

std::shared_ptr<const CollocatesRun> CollocatesRunOf(const AnalysisRows* rows) { return RunOf<CollocateTable>(rows); }
std::shared_ptr<const NgramRun> NgramRunOf(const AnalysisRows* rows) { return RunOf<NgramTableRows>(rows); }
std::shared_ptr<const KeynessRun> KeynessRunOf(const AnalysisRows* rows) { return RunOf<KeynessTable>(rows); }

QString CollocatesCountText(const CollocateResult& result) {
  return Counted(result.rows.size(), "collocate", "collocates") + QStringLiteral(" of ") +
         Counted(static_cast<size_t>(result.nodeHits), "hit", "hits");
}

QString NgramCountText(const NgramRun& run) {
  return run.clusters ? Counted(run.result.table.size(), "cluster", "clusters")
                      : Counted(run.result.table.size(), "n-gram", "n-grams");
}

QString KeynessCountText(const KeynessRun& run) {
  const auto positive =
      static_cast<size_t>(std::count_if(run.rows.begin(), run.rows.end(), [](const KeynessRow& row) { return row.positive; }));
  return Counted(run.rows.size(), "key word", "key words") +
         QStringLiteral(" (%1 positive, %2 negative)").arg(positive).arg(run.rows.size() - positive);
}

}  // namespace wordloom::app
