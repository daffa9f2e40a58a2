// Controls the pages share for their parameters: a number box and the choice of a search mode.
#pragma once

#include <QComboBox>
#include <QSpinBox>

#include "hits/hits.h"
#include "ui/controls.h"

namespace wordloom::app {

inline QSpinBox* NumberBox(const char* objectName, int minimum, int maximum, int value, QWidget* parent) {
  auto* box = Named(new QSpinBox(parent), objectName);
  box->setRange(minimum, maximum);
  box->setValue(value);
  return box;
}

// The seven search modes, Word first; each item's data is its SearchMode.
inline QComboBox* SearchModeBox(const char* objectName, QWidget* parent) {
  QComboBox* box = DropDown(objectName,
                            {{"Word", static_cast<int>(SearchMode::Word)},
                             {"Prefix", static_cast<int>(SearchMode::Prefix)},
                             {"Suffix", static_cast<int>(SearchMode::Suffix)},
                             {"Anywhere", static_cast<int>(SearchMode::Anywhere)},
                             {"Wildcard", static_cast<int>(SearchMode::Wildcard)},
                             {"Regex", static_cast<int>(SearchMode::Regex)},
                             {"Phrase", static_cast<int>(SearchMode::Phrase)}},
                            parent);
  box->setToolTip(
      QStringLiteral("How the search matches: as words, beginnings, endings or parts of words; with * and ?; as a "
                     "regular expression; or as a phrase such as \"in * of\""));
  return box;
}

inline SearchMode ModeOf(const QComboBox* box) { return static_cast<SearchMode>(box->currentData().toInt()); }

}  // namespace wordloom::app
