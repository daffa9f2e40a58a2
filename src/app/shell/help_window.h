// The help window: the manual's pages with their contents page and a keyword index.
//
// The manual is a folder of HTML pages: "index.html" is the contents page, and
// "keywords.txt" lists the index, one "keyword<TAB>page#anchor" a line. Typing in the index
// box selects the first keyword that begins with the text; Enter or a double-click shows it.
// The object names of the controls are in help_window_names.h.
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;

namespace wordloom::app {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // `folder`: the folder of the manual's pages.
  explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

  void ShowContents();
  void ShowIndex();
  // Shows a page of the manual ("concordance.html#stop").
  void ShowPage(const QString& page);

 private:
  void LoadKeywords();
  void FindKeyword(const QString& text);
  void ShowKeyword(QListWidgetItem* item);

  QString folder_;
  QTabWidget* tabs_;
  QTextBrowser* browser_;
  QLineEdit* keyword_;
  QListWidget* keywords_;
};

}  // namespace wordloom::app
