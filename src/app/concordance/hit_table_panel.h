// The Concordance page's table view: how hits are searched for, how their contexts are cut,
// how they are sorted and thinned, and the table of hits itself.
//
// The panel holds the controls and the table's model. A change of the context redraws the
// table at once (it only reads the texts of the rows in sight); sorting and thinning are
// applied by the main window on the worker thread, which hands back the new arrangement, as it
// hands back the hits of a run. Exporting is asked for here and done by the main window.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "hits/hits.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace wordloom::app {

class HitTableModel;
class HitTableView;

class HitTablePanel : public QWidget {
  Q_OBJECT
 public:
  explicit HitTablePanel(QWidget* parent = nullptr);

  SearchMode Mode() const;
  void SetMode(SearchMode mode);
  ContextWindow Context() const;
  std::vector<SortLevel> SortLevels() const;
  Thinning ThinningChosen() const;

  // Shows the hits of a run, `rows` of `store` in their order, with `highlight` marked in
  // their contexts besides the key (empty: nothing).
  void ShowHits(std::shared_ptr<const HitStore> store, std::shared_ptr<const std::vector<int64_t>> rows,
                TextEncoding encoding, const QString& highlight = QString());
  // Shows a new arrangement of the hits on show.
  void ShowArrangement(std::shared_ptr<const std::vector<int64_t>> rows);
  // Limits the table to `rows` of the store on show (gathering order) until the next ShowHits:
  // sorting and thinning then arrange only those.
  void LimitTo(std::shared_ptr<const std::vector<int64_t>> rows) { limit_ = std::move(rows); }
  const std::shared_ptr<const std::vector<int64_t>>& limit() const { return limit_; }
  void clear();
  // A pass runs: nothing that would start another is on.
  void SetRunning(bool running);
  HitTableModel* model() const { return model_; }
  HitTableView* view() const { return view_; }

 signals:
  void modeChanged(SearchMode mode);
  // The user asks for the sort levels and the thinning to be applied.
  void arrangeRequested();
  void exportRequested(TableFormat format);
  // Enter or a double-click on a row of the table.
  void hitActivated(int row);

 private:
  QWidget* CreateSearchRow();
  QWidget* CreateArrangeArea();
  void UpdateControls();

  QComboBox* modeBox_;
  QComboBox* contextUnitBox_;
  QSpinBox* contextSizeBox_;
  QToolButton* arrangeToggle_;
  QPushButton* exportButton_;
  std::array<QComboBox*, 3> sortBoxes_;
  std::array<QCheckBox*, 3> descendingChecks_;
  QComboBox* thinningBox_;
  QSpinBox* thinningCountBox_;
  QSpinBox* seedBox_;
  QPushButton* arrangeButton_;
  HitTableModel* model_;
  std::shared_ptr<const std::vector<int64_t>> limit_;  // the rows the table is limited to; null for all
  HitTableView* view_;
  bool running_ = false;
  std::array<int, 2> contextSizes_ = {5, 40};  // the last size of each unit, words and characters
};

}  // namespace wordloom::app
