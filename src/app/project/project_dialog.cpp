#include "project/project_dialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>

#include "project/file_chooser.h"
#include "project/project_dialog_names.h"
#include "project/project_texts.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

namespace names = project_dialog_names;

QFont FixedPitch(const QString& family, double pointSize) {
  QFont font(family);
  font.setStyleHint(QFont::TypeWriter);
  if (pointSize > 0) font.setPointSizeF(pointSize);
  return font;
}

// Puts the check on `checked` alone; none is checked when it is null (a damaged project).
void CheckOnly(std::initializer_list<QRadioButton*> buttons, QRadioButton* checked) {
  for (QRadioButton* button : buttons) {
    button->setAutoExclusive(false);
    button->setChecked(button == checked);
    button->setAutoExclusive(true);
  }
}

void SetText(QLineEdit* box, const QString& text) {
  if (box->text() != text) box->setText(text);
}

// Selects the item whose data is `value`.
void SelectData(QComboBox* box, int value) { box->setCurrentIndex(box->findData(value)); }

// A row of a label and its box.
void AddRow(QGridLayout* grid, int row, QLabel* label, QWidget* box) {
  label->setBuddy(box);
  grid->addWidget(label, row, 0);
  grid->addWidget(box, row, 1);
}

}  // namespace

ProjectDialog::ProjectDialog(Kind kind, Project& project, Prompts& prompts, QWidget* parent)
    : QDialog(parent), kind_(kind), project_(project), prompts_(prompts) {
  setObjectName(QString::fromLatin1(kind == Kind::New ? names::kNewDialog : names::kEditDialog));
  setWindowTitle(kind == Kind::New ? QStringLiteral("New Wlm Project") : QStringLiteral("Wlm Project"));
  setModal(true);

  auto* layout = new QGridLayout(this);
  layout->addWidget(CreateProjectFrame(), 0, 0);
  layout->addWidget(CreateFilesFrame(), 1, 0, 2, 1);
  layout->addWidget(CreateRulesFrame(), 1, 1);
  layout->addWidget(CreateVocabularyFrame(), 2, 1);
  // "Files in the project" stands beside the Project frame, over the rules.
  layout->addWidget(CreateProjectFilesFrame(), 0, 1);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);

  ConnectFields();
  Refresh();
  resize(900, 640);
}

QWidget* ProjectDialog::CreateProjectFrame() {
  QGroupBox* frame = Frame(names::kProjectFrame, QStringLiteral("Project"), this);
  titleEdit_ = TextBox(names::kTitle, frame);
  fileNameEdit_ = TextBox(names::kFileName, frame);
  browseButton_ = Button(names::kBrowse, QStringLiteral("Browse"), frame);
  browseButton_->setToolTip(QStringLiteral("Chooses the name the project will be offered for saving under"));
  saveVocabularyCheck_ = Check(names::kSaveVocabulary, QStringLiteral("Save Vocabulary"), frame);
  saveVocabularyCheck_->setToolTip(QStringLiteral("Scan the texts and keep their vocabulary in the project"));
  saveButton_ = Button(names::kSave, QStringLiteral("Save"), frame);
  saveButton_->setToolTip(QStringLiteral("Scans the texts and saves the project"));
  okButton_ = Button(names::kOk, QStringLiteral("OK"), frame);
  okButton_->setDefault(true);
  cancelButton_ = Button(names::kCancel, QStringLiteral("Cancel"), frame);

  auto* grid = new QGridLayout(frame);
  AddRow(grid, 0, Label(names::kTitleLabel, QStringLiteral("Title:"), frame), titleEdit_);
  AddRow(grid, 1, Label(names::kFileNameLabel, QStringLiteral("File name:"), frame), fileNameEdit_);
  grid->addWidget(browseButton_, 1, 2);
  auto* checks = new QHBoxLayout;
  checks->addWidget(saveVocabularyCheck_);
  if (kind_ == Kind::New) {
    noPathCheck_ = Check(names::kNoPath, QStringLiteral("No Path"), frame);
    noPathCheck_->setToolTip(
        QStringLiteral("Add the files by name alone; they are looked for in the program's folder"));
    checks->addWidget(noPathCheck_);
  }
  checks->addStretch();
  grid->addLayout(checks, 2, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(saveButton_);
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 3, 1);
  grid->setColumnStretch(1, 1);
  return frame;
}

QWidget* ProjectDialog::CreateFilesFrame() {
  auto* panel = new QWidget(this);
  chooser_ = new FileChooser(panel);
  QGroupBox* select = Frame(names::kSelectFrame, QStringLiteral("Select"), panel);
  selectAllButton_ = Button(names::kSelectAll, QStringLiteral("All"), select);
  selectNoneButton_ = Button(names::kSelectNone, QStringLiteral("None"), select);
  auto* selectLayout = new QHBoxLayout(select);
  selectLayout->addWidget(selectAllButton_);
  selectLayout->addWidget(selectNoneButton_);
  addFilesButton_ = Button(names::kAddFiles, QStringLiteral("Add selected files to the project"), panel);
  addFilesButton_->setToolTip(QStringLiteral("Adds the selected files; a double-click on a file adds it too"));

  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chooser_, 1);
  auto* row = new QHBoxLayout;
  row->addWidget(select);
  row->addStretch();
  row->addWidget(addFilesButton_);
  layout->addLayout(row);
  return panel;
}

// The progress bar shows only while a scan runs.
QWidget* ProjectDialog::CreateProjectFilesFrame() {
  QGroupBox* frame = Frame(names::kProjectFilesFrame, QStringLiteral("Files in the project"), this);
  projectFilesFrame_ = frame;
  projectFilesList_ = Named(new QListWidget(frame), names::kProjectFiles);
  projectFilesList_->setToolTip(QStringLiteral("Double-click a file to take it out of the project"));
  progressBar_ = Named(new QProgressBar(frame), names::kProgress);
  progressBar_->setTextVisible(false);
  progressBar_->setRange(0, 1000);
  progressBar_->setVisible(false);
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(projectFilesList_);
  layout->addWidget(progressBar_);
  return frame;
}

QWidget* ProjectDialog::CreateRulesFrame() {
  QGroupBox* frame = Frame(names::kRulesFrame, QStringLiteral("Scanning rules"), this);
  alphabetEdit_ = TextBox(names::kAlphabet, frame);
  noReferencesOption_ = Option(names::kNoReferences, QStringLiteral("none"), frame);
  type1ReferencesOption_ = Option(names::kType1References, QStringLiteral("type1"), frame);
  referencePatternFrame_ = Frame(names::kReferencePatternFrame, QString(), frame);
  leftReferenceEdit_ = TextBox(names::kLeftReference, referencePatternFrame_);
  lettersButton_ = Button(names::kLetters, QStringLiteral("Letter"), referencePatternFrame_);
  lettersButton_->setToolTip(QStringLiteral("Values and comments of the reference letters"));
  // The two dialogs give the labels "text" and "End Hyphen:" each other's names.
  const bool isNew = kind_ == Kind::New;
  QLabel* textLabel = Label(isNew ? names::kReferenceTextLabel : names::kEndHyphenLabel, QStringLiteral("text"),
                            referencePatternFrame_);
  rightReferenceEdit_ = TextBox(names::kRightReference, referencePatternFrame_);
  rightReferenceEdit_->setFont(FixedPitch(QStringLiteral("Courier New"), 0));
  for (QLineEdit* box : {leftReferenceEdit_, rightReferenceEdit_}) box->setFixedWidth(36);
  auto* pattern = new QHBoxLayout(referencePatternFrame_);
  pattern->addWidget(leftReferenceEdit_);
  pattern->addWidget(lettersButton_);
  pattern->addWidget(textLabel);
  pattern->addWidget(rightReferenceEdit_);
  pattern->addStretch();
  endOfLineEdit_ = TextBox(names::kEndOfLine, frame);
  joinEdit_ = TextBox(names::kJoin, frame);
  endHyphenEdit_ = TextBox(names::kEndHyphen, frame);
  for (QLineEdit* box : {endOfLineEdit_, joinEdit_, endHyphenEdit_}) box->setMaximumWidth(80);
  fontButton_ = Button(names::kFont, QStringLiteral("Font"), frame);
  fontButton_->setToolTip(QStringLiteral("The font of the alphabet box"));

  auto* grid = new QGridLayout(frame);
  AddRow(grid, 0, Label(names::kAlphabetLabel, QStringLiteral("Alphabet:"), frame), alphabetEdit_);
  grid->addWidget(fontButton_, 0, 2);
  auto* types = new QHBoxLayout;
  types->addWidget(noReferencesOption_);
  types->addWidget(type1ReferencesOption_);
  types->addWidget(referencePatternFrame_);
  grid->addWidget(Label(names::kReferencesLabel, QStringLiteral("References:"), frame), 1, 0);
  grid->addLayout(types, 1, 1, 1, 2);
  AddRow(grid, 2, Label(names::kEndOfLineLabel, QStringLiteral("End of Line:"), frame), endOfLineEdit_);
  AddRow(grid, 3, Label(names::kJoinLabel, QStringLiteral("Join:"), frame), joinEdit_);
  AddRow(grid, 4,
         Label(isNew ? names::kEndHyphenLabel : names::kReferenceTextLabel, QStringLiteral("End Hyphen:"), frame),
         endHyphenEdit_);
  CreateEncodingRows(grid, 5, frame);
  grid->setColumnStretch(1, 1);
  return frame;
}

void ProjectDialog::CreateEncodingRows(QGridLayout* grid, int row, QWidget* frame) {
  encodingBox_ = DropDown(names::kEncoding,
                          {{"Automatic (from the texts)", static_cast<int>(TextEncoding::Automatic)},
                           {"Windows-1252", static_cast<int>(TextEncoding::Windows1252)},
                           {"UTF-8", static_cast<int>(TextEncoding::Utf8)}},
                          frame);
  encodingBox_->setToolTip(QStringLiteral("How the texts are written; Automatic reads them to decide"));
  languageEdit_ = TextBox(names::kLanguage, frame);
  languageEdit_->setToolTip(
      QStringLiteral("The language whose word order is used, as a BCP 47 tag such as cs or de; empty: the root order"));
  languageEdit_->setMaximumWidth(80);
  wordsBox_ = DropDown(names::kWords,
                       {{"From the alphabet", static_cast<int>(WordBoundaries::Alphabet)},
                        {"Unicode word boundaries", static_cast<int>(WordBoundaries::Unicode)}},
                       frame);
  wordsBox_->setToolTip(QStringLiteral("Words are runs of word characters, or what Unicode's word boundaries enclose"));
  unicodeLettersCheck_ = Check(names::kUnicodeLetters, QStringLiteral("Unicode letters"), frame);
  unicodeLettersCheck_->setToolTip(QStringLiteral("Letters, marks and digits of every script are word characters"));
  needLetterCheck_ = Check(names::kNeedLetter, QStringLiteral("A word needs a letter or digit"), frame);
  needLetterCheck_->setToolTip(QStringLiteral("Runs of word characters without a letter or digit are not words"));

  auto* encoding = new QHBoxLayout;
  encoding->addWidget(encodingBox_);
  QLabel* languageLabel = Label(names::kLanguageLabel, QStringLiteral("Language:"), frame);
  languageLabel->setBuddy(languageEdit_);
  encoding->addWidget(languageLabel);
  encoding->addWidget(languageEdit_);
  encoding->addStretch();
  QLabel* encodingLabel = Label(names::kEncodingLabel, QStringLiteral("Encoding:"), frame);
  encodingLabel->setBuddy(encodingBox_);
  grid->addWidget(encodingLabel, row, 0);
  grid->addLayout(encoding, row, 1, 1, 2);
  auto* words = new QHBoxLayout;
  words->addWidget(wordsBox_);
  words->addStretch();
  QLabel* wordsLabel = Label(names::kWordsLabel, QStringLiteral("Words:"), frame);
  wordsLabel->setBuddy(wordsBox_);
  grid->addWidget(wordsLabel, row + 1, 0);
  grid->addLayout(words, row + 1, 1, 1, 2);
  auto* checks = new QHBoxLayout;
  checks->addWidget(unicodeLettersCheck_);
  checks->addWidget(needLetterCheck_);
  checks->addStretch();
  grid->addLayout(checks, row + 2, 1, 1, 2);
}

QWidget* ProjectDialog::CreateVocabularyFrame() {
  QGroupBox* frame = Frame(names::kVocabularyFrame, QStringLiteral("Save Vocabulary"), this);
  scopeAllOption_ = Option(names::kScopeAll, QStringLiteral("All"), frame);
  scopeNoneOption_ = Option(names::kScopeNone, QStringLiteral("None"), frame);
  scopeMatchesOption_ = Option(names::kScopeMatches, QStringLiteral("Matches"), frame);
  QGroupBox* patternsFrame = Frame(names::kPatternsFrame, QStringLiteral("Any of"), frame);
  prefixEdit_ = TextBox(names::kPrefix, patternsFrame);
  suffixEdit_ = TextBox(names::kSuffix, patternsFrame);
  anywhereEdit_ = TextBox(names::kAnywhere, patternsFrame);
  auto* patterns = new QGridLayout(patternsFrame);
  AddRow(patterns, 0, Label(names::kPrefixLabel, QStringLiteral("Prefix"), patternsFrame), prefixEdit_);
  AddRow(patterns, 1, Label(names::kSuffixLabel, QStringLiteral("Suffix"), patternsFrame), suffixEdit_);
  AddRow(patterns, 2, Label(names::kAnywhereLabel, QStringLiteral("Anywhere"), patternsFrame), anywhereEdit_);

  auto* layout = new QHBoxLayout(frame);
  auto* scopes = new QVBoxLayout;
  scopes->addWidget(scopeAllOption_);
  scopes->addWidget(scopeNoneOption_);
  scopes->addWidget(scopeMatchesOption_);
  scopes->addStretch();
  layout->addLayout(scopes);
  layout->addWidget(patternsFrame, 1);
  return frame;
}

// Every field goes into the record as the user changes it, so the record is what the dialog
// shows.
void ProjectDialog::ConnectFields() {
  auto bindText = [this](QLineEdit* box, std::string Project::*field, bool isPath) {
    connect(box, &QLineEdit::textEdited, this, [this, field, isPath](const QString& text) {
      project_.*field = isPath ? PathBytes(text) : EncodeText(text, project_.rules.encoding);
    });
  };
  bindText(titleEdit_, &Project::Title, false);
  bindText(fileNameEdit_, &Project::FileName, true);
  bindText(prefixEdit_, &Project::PrefixPattern, false);
  bindText(suffixEdit_, &Project::SuffixPattern, false);
  bindText(anywhereEdit_, &Project::AnywherePattern, false);
  auto bindRule = [this](QLineEdit* box, std::string ScanRules::*field) {
    connect(box, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { project_.rules.*field = EncodeText(text, project_.rules.encoding); });
  };
  bindRule(alphabetEdit_, &ScanRules::alphabet);
  bindRule(leftReferenceEdit_, &ScanRules::leftReference);
  bindRule(rightReferenceEdit_, &ScanRules::rightReference);
  bindRule(endOfLineEdit_, &ScanRules::endOfLine);
  bindRule(joinEdit_, &ScanRules::join);
  bindRule(endHyphenEdit_, &ScanRules::endHyphen);

  connect(saveVocabularyCheck_, &QCheckBox::clicked, this, [this](bool checked) {
    project_.SaveVocabulary = checked ? VocabularyCheck::Checked : VocabularyCheck::Clear;
    if (!checked) prompts_.Message(this, QStringLiteral("Vocabulary NOT saved!"));
  });
  auto bindScope = [this](QRadioButton* button, VocabularyScope scope) {
    connect(button, &QRadioButton::clicked, this, [this, scope] { project_.scope = scope; });
  };
  bindScope(scopeAllOption_, VocabularyScope::All);
  bindScope(scopeNoneOption_, VocabularyScope::None);
  bindScope(scopeMatchesOption_, VocabularyScope::Matches);
  // The texts keep their characters in the new encoding, so the dialog shows them again.
  connect(encodingBox_, &QComboBox::activated, this, [this] {
    ChangeEncoding(project_, static_cast<TextEncoding>(encodingBox_->currentData().toInt()));
    Refresh();
  });
  connect(languageEdit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { project_.rules.language = text.trimmed().toStdString(); });
  connect(wordsBox_, &QComboBox::activated, this, [this] {
    project_.rules.words = static_cast<WordBoundaries>(wordsBox_->currentData().toInt());
  });
  connect(unicodeLettersCheck_, &QCheckBox::clicked, this,
          [this](bool checked) { project_.rules.unicodeLetters = checked; });
  // Until it is clicked, the check follows the encoding (see ScanRules::NeedsLetter).
  connect(needLetterCheck_, &QCheckBox::clicked, this, [this](bool checked) { project_.rules.needLetter = checked; });
  connect(noReferencesOption_, &QRadioButton::clicked, this, [this] {
    project_.rules.referenceType = ReferenceType::None;
    ShowReferenceType();
  });
  connect(type1ReferencesOption_, &QRadioButton::clicked, this, [this] {
    project_.rules.referenceType = ReferenceType::Type1;
    ShowReferenceType();
  });

  connect(addFilesButton_, &QPushButton::clicked, this, [this] { AddFiles(chooser_->SelectedFiles()); });
  connect(chooser_, &FileChooser::fileActivated, this, [this](const QString& name) { AddFiles({name}); });
  connect(selectAllButton_, &QPushButton::clicked, chooser_, &FileChooser::SelectAll);
  connect(selectNoneButton_, &QPushButton::clicked, chooser_, &FileChooser::SelectNone);
  connect(projectFilesList_, &QListWidget::itemDoubleClicked, this, &ProjectDialog::RemoveFile);
  connect(browseButton_, &QPushButton::clicked, this, &ProjectDialog::Browse);
  connect(fontButton_, &QPushButton::clicked, this, &ProjectDialog::ChooseFont);
  connect(lettersButton_, &QPushButton::clicked, this, &ProjectDialog::lettersRequested);
  connect(saveButton_, &QPushButton::clicked, this, &ProjectDialog::saveRequested);
  connect(okButton_, &QPushButton::clicked, this, &ProjectDialog::okRequested);
  connect(cancelButton_, &QPushButton::clicked, this, &ProjectDialog::reject);
  if (kind_ == Kind::New) {
    for (QLineEdit* box : {endOfLineEdit_, joinEdit_, endHyphenEdit_, leftReferenceEdit_, rightReferenceEdit_}) {
      box->installEventFilter(this);
    }
  }
}

void ProjectDialog::Refresh() {
  const auto decode = [this](const std::string& text) { return DecodeText(text, project_.rules.encoding); };
  SetText(titleEdit_, decode(project_.Title));
  SetText(fileNameEdit_, PathText(project_.FileName));
  saveVocabularyCheck_->setCheckState(project_.SaveVocabulary == VocabularyCheck::Checked  ? Qt::Checked
                                      : project_.SaveVocabulary == VocabularyCheck::Greyed ? Qt::PartiallyChecked
                                                                     : Qt::Unchecked);
  projectFilesList_->clear();
  for (const std::string& file : project_.Files) projectFilesList_->addItem(PathText(file));

  const ScanRules& rules = project_.rules;
  SetText(alphabetEdit_, decode(rules.alphabet));
  SetText(leftReferenceEdit_, decode(rules.leftReference));
  SetText(rightReferenceEdit_, decode(rules.rightReference));
  SetText(endOfLineEdit_, decode(rules.endOfLine));
  SetText(joinEdit_, decode(rules.join));
  SetText(endHyphenEdit_, decode(rules.endHyphen));
  ShowEncoding();
  CheckOnly({noReferencesOption_, type1ReferencesOption_},
            rules.referenceType == ReferenceType::None    ? noReferencesOption_
            : rules.referenceType == ReferenceType::Type1 ? type1ReferencesOption_
                                                          : nullptr);
  ShowReferenceType();

  const AlphabetFont& shown = project_.font;
  QFont font = FixedPitch(QString::fromStdString(shown.name), shown.size);
  font.setBold(shown.bold);
  font.setItalic(shown.italic);
  font.setStrikeOut(shown.strikethrough);
  font.setUnderline(shown.underline);
  alphabetEdit_->setFont(font);

  CheckOnly({scopeAllOption_, scopeNoneOption_, scopeMatchesOption_},
            project_.scope == VocabularyScope::All       ? scopeAllOption_
            : project_.scope == VocabularyScope::None    ? scopeNoneOption_
            : project_.scope == VocabularyScope::Matches ? scopeMatchesOption_
                                                         : nullptr);
  SetText(prefixEdit_, decode(project_.PrefixPattern));
  SetText(suffixEdit_, decode(project_.SuffixPattern));
  SetText(anywhereEdit_, decode(project_.AnywherePattern));
}

void ProjectDialog::ResetFolder(const QString& folder) {
  chooser_->SetPattern(QStringLiteral("*.txt"));
  chooser_->SetFolder(folder);
}

void ProjectDialog::CopyFolderFrom(const ProjectDialog& other) {
  chooser_->SetPattern(other.chooser_->Pattern());
  chooser_->SetFolder(other.chooser_->Folder());
}

QString ProjectDialog::ChosenFolder() const { return chooser_->Folder(); }

// An entry is the folder and the name, or the name alone with "No Path"; a file already in
// the project (the same text exactly) is not added again.
void ProjectDialog::AddFiles(const QStringList& names) {
  const bool noPath = noPathCheck_ && noPathCheck_->isChecked();
  QString folder = chooser_->Folder();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  QStringList entries;
  std::vector<std::string> paths;
  for (const QString& name : names) {
    entries.append(noPath ? name : folder + name);
    paths.push_back(PathBytes(entries.back()));
  }
  QStringList added;
  for (const size_t i : project_.AddFiles(paths)) added.append(entries[static_cast<qsizetype>(i)]);
  projectFilesList_->addItems(added);
}

void ProjectDialog::RemoveFile(QListWidgetItem* item) {
  const int row = projectFilesList_->row(item);
  if (row < 0 || row >= static_cast<int>(project_.Files.size())) return;
  project_.Files.erase(project_.Files.begin() + row);
  delete projectFilesList_->takeItem(row);
}

void ProjectDialog::ShowReferenceType() {
  const bool type1 = project_.rules.referenceType == ReferenceType::Type1;
  for (QWidget* control : std::initializer_list<QWidget*>{leftReferenceEdit_, rightReferenceEdit_, lettersButton_,
                                                          referencePatternFrame_}) {
    control->setEnabled(type1);
  }
}

// The rules of UTF-8 projects are off for a Windows-1252 one, which reads only the need-letter rule.
void ProjectDialog::ShowEncoding() {
  const ScanRules& rules = project_.rules;
  SelectData(encodingBox_, static_cast<int>(rules.encoding));
  SetText(languageEdit_, QString::fromStdString(rules.language));
  SelectData(wordsBox_, static_cast<int>(rules.words));
  unicodeLettersCheck_->setChecked(rules.unicodeLetters);
  needLetterCheck_->setChecked(rules.NeedsLetter());
  const bool unicode = rules.encoding != TextEncoding::Windows1252;
  for (QWidget* control : std::initializer_list<QWidget*>{languageEdit_, wordsBox_, unicodeLettersCheck_}) {
    control->setEnabled(unicode);
  }
}

// The alphabet box shows the chosen font; the project keeps it.
void ProjectDialog::ChooseFont() {
  QFont font = alphabetEdit_->font();
  if (!prompts_.ChooseFont(this, font)) return;
  alphabetEdit_->setFont(font);
  AlphabetFont& kept = project_.font;
  kept.bold = font.bold();
  kept.italic = font.italic();
  kept.name = font.family().toStdString();
  kept.size = font.pointSizeF();
  kept.strikethrough = font.strikeOut();
  kept.underline = font.underline();
  kept.weight = font.weight();
}

void ProjectDialog::Browse() {
  const QString path = prompts_.OpenFileName(this, QStringLiteral("Text (*.txt)|*.txt"));
  if (path.isEmpty()) return;
  fileNameEdit_->setText(path);
  project_.FileName = PathBytes(path);
}

// The frame of the project's files stays on, for its progress bar; its list goes off.
void ProjectDialog::SetBusy(bool busy) {
  busy_ = busy;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child != projectFilesFrame_) child->setEnabled(!busy);
  }
  projectFilesList_->setEnabled(!busy);
  progressBar_->reset();
  progressBar_->setRange(0, busy ? 0 : 1000);
  progressBar_->setVisible(busy);
}

void ProjectDialog::ShowProgress(int permille) {
  if (permille < 0) {
    progressBar_->setRange(0, 0);  // the length of the scan is not known yet
    return;
  }
  progressBar_->setRange(0, 1000);
  progressBar_->setValue(std::clamp(permille, 0, 1000));
}

void ProjectDialog::reject() {
  if (!busy_) QDialog::reject();
}

void ProjectDialog::showEvent(QShowEvent* event) {
  Refresh();
  QDialog::showEvent(event);
}

// The one-character boxes of the New Project dialog take a typed character only while they
// are empty; Backspace and the editing keys always work.
bool ProjectDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (box && !box->text().isEmpty() && !typed.isEmpty() && typed.at(0).isPrint()) return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace wordloom::app
