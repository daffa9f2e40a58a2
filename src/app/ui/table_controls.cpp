#include "ui/table_controls.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

#include "ui/controls.h"

namespace wordloom::app {
namespace {

QToolButton* ViewButton(const char* objectName, const QString& caption, const QString& tip, QWidget* parent) {
  auto* button = Named(new QToolButton(parent), objectName);
  button->setText(caption);
  button->setToolTip(tip);
  button->setCheckable(true);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

ViewChoice MakeViewChoice(const ViewChoiceNames& names, const QString& textTip, const QString& tableTip,
                          QWidget* pane, QWidget* table, QWidget* parent) {
  ViewChoice choice{ViewButton(names.text, QStringLiteral("Te&xt"), textTip, parent),
                    ViewButton(names.table, QStringLiteral("&Table"), tableTip, parent),
                    Named(new QStackedWidget(parent), names.views)};
  choice.text->setChecked(true);
  auto* group = new QButtonGroup(parent);
  group->addButton(choice.text);
  group->addButton(choice.table);
  choice.views->addWidget(pane);
  choice.views->addWidget(table);
  QStackedWidget* views = choice.views;
  QObject::connect(choice.text, &QToolButton::toggled, views, [views](bool on) { views->setCurrentIndex(on ? 0 : 1); });
  return choice;
}

QPushButton* ExportButton(const ExportNames& names, const QString& tip, QWidget* parent,
                          std::function<void(TableFormat)> chosen) {
  QPushButton* button = Button(names.button, QStringLiteral("Export..."), parent);
  button->setToolTip(tip);
  auto* menu = new QMenu(button);
  const std::pair<const char*, TableFormat> formats[] = {
      {names.tsv, TableFormat::Tsv}, {names.csv, TableFormat::Csv}, {names.jsonLines, TableFormat::JsonLines}};
  const QString captions[] = {QStringLiteral("Tab-separated values (TSV)..."),
                              QStringLiteral("Comma-separated values (CSV)..."), QStringLiteral("JSON Lines...")};
  for (size_t i = 0; i < std::size(formats); ++i) {
    QAction* action = menu->addAction(captions[i]);
    action->setObjectName(QString::fromLatin1(formats[i].first));
    const TableFormat format = formats[i].second;
    QObject::connect(action, &QAction::triggered, button, [chosen, format] { chosen(format); });
  }
  button->setMenu(menu);
  return button;
}

}  // namespace wordloom::app
