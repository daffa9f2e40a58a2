#include "project/project_dialog.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>

#include "project/file_chooser.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

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

// A row of a label and its box.
void AddRow(QGridLayout* grid, int row, QLabel* label, QWidget* box) {
  label->setBuddy(box);
  grid->addWidget(label, row, 0);
  grid->addWidget(box, row, 1);
}

}  // namespace

ProjectDialog::ProjectDialog(Kind kind, Project& project, Prompts& prompts, QWidget* parent)
    : QDialog(parent), kind_(kind), project_(project), prompts_(prompts) {
  setObjectName(kind == Kind::New ? QStringLiteral("Form1") : QStringLiteral("Form4"));
  setWindowTitle(kind == Kind::New ? QStringLiteral("New Wlm Project") : QStringLiteral("Wlm Project"));
  setModal(true);

  auto* layout = new QGridLayout(this);
  layout->addWidget(CreateProjectFrame(), 0, 0);
  layout->addWidget(CreateFilesFrame(), 1, 0, 2, 1);
  layout->addWidget(CreateRulesFrame(), 1, 1);
  layout->addWidget(CreateVocabularyFrame(), 2, 1);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  // "Files in the project" stands beside the Project frame, over the rules.
  auto* Frame4 = Frame("Frame4", QStringLiteral("Files in the project"), this);
  List1 = Named(new QListWidget(Frame4), "List1");
  List1->setToolTip(QStringLiteral("Double-click a file to take it out of the project"));
  ProgressBar1 = Named(new QProgressBar(Frame4), "ProgressBar1");
  ProgressBar1->setTextVisible(false);
  auto* filesLayout = new QVBoxLayout(Frame4);
  filesLayout->addWidget(List1);
  filesLayout->addWidget(ProgressBar1);
  layout->addWidget(Frame4, 0, 1);

  ConnectFields();
  Refresh();
  resize(900, 640);
}

QWidget* ProjectDialog::CreateProjectFrame() {
  QGroupBox* Frame3 = Frame("Frame3", QStringLiteral("Project"), this);
  Text3 = TextBox("Text3", Frame3);
  Text1 = TextBox("Text1", Frame3);
  Command2 = Button("Command2", QStringLiteral("Browse"), Frame3);
  Command2->setToolTip(QStringLiteral("Chooses the name the project will be offered for saving under"));
  Check1 = Check("Check1", QStringLiteral("Save Vocabulary"), Frame3);
  Check1->setToolTip(QStringLiteral("Scan the texts and keep their vocabulary in the project"));
  Command7 = Button("Command7", QStringLiteral("Save"), Frame3);
  Command7->setToolTip(QStringLiteral("Scans the texts and saves the project"));
  Command3 = Button("Command3", QStringLiteral("OK"), Frame3);
  Command3->setDefault(true);
  Command8 = Button("Command8", QStringLiteral("Cancel"), Frame3);

  auto* grid = new QGridLayout(Frame3);
  AddRow(grid, 0, Label("Label1", QStringLiteral("Title:"), Frame3), Text3);
  AddRow(grid, 1, Label("Label5", QStringLiteral("File name:"), Frame3), Text1);
  grid->addWidget(Command2, 1, 2);
  auto* checks = new QHBoxLayout;
  checks->addWidget(Check1);
  if (kind_ == Kind::New) {
    Check2 = Check("Check2", QStringLiteral("No Path"), Frame3);
    Check2->setToolTip(QStringLiteral("Add the files by name alone; they are looked for in the program's folder"));
    checks->addWidget(Check2);
  }
  checks->addStretch();
  grid->addLayout(checks, 2, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(Command7);
  buttons->addWidget(Command3);
  buttons->addWidget(Command8);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 3, 1);
  grid->setColumnStretch(1, 1);
  return Frame3;
}

QWidget* ProjectDialog::CreateFilesFrame() {
  auto* panel = new QWidget(this);
  chooser = new FileChooser(panel);
  QGroupBox* Frame7 = Frame("Frame7", QStringLiteral("Select"), panel);
  Command4 = Button("Command4", QStringLiteral("All"), Frame7);
  Command6 = Button("Command6", QStringLiteral("None"), Frame7);
  auto* select = new QHBoxLayout(Frame7);
  select->addWidget(Command4);
  select->addWidget(Command6);
  Command1 = Button("Command1", QStringLiteral("Add selected files to the project"), panel);
  Command1->setToolTip(QStringLiteral("Adds the selected files; a double-click on a file adds it too"));

  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chooser, 1);
  auto* row = new QHBoxLayout;
  row->addWidget(Frame7);
  row->addStretch();
  row->addWidget(Command1);
  layout->addLayout(row);
  return panel;
}

QWidget* ProjectDialog::CreateRulesFrame() {
  QGroupBox* Frame1 = Frame("Frame1", QStringLiteral("Scanning rules"), this);
  Text4 = TextBox("Text4", Frame1);
  Option10 = Option("Option10", QStringLiteral("none"), Frame1);
  Option11 = Option("Option11", QStringLiteral("type1"), Frame1);
  Frame2 = Frame("Frame2", QString(), Frame1);
  Text8 = TextBox("Text8", Frame2);
  Command9 = Button("Command9", QStringLiteral("Letter"), Frame2);
  Command9->setToolTip(QStringLiteral("Values and comments of the reference letters"));
  // The label names of "text" and "End Hyphen:" are swapped between the two dialogs.
  const bool isNew = kind_ == Kind::New;
  QLabel* textLabel = Label(isNew ? "Label11" : "Label7", QStringLiteral("text"), Frame2);
  Text9 = TextBox("Text9", Frame2);
  Text9->setFont(FixedPitch(QStringLiteral("Courier New"), 0));
  for (QLineEdit* box : {Text8, Text9}) box->setFixedWidth(36);
  auto* pattern = new QHBoxLayout(Frame2);
  pattern->addWidget(Text8);
  pattern->addWidget(Command9);
  pattern->addWidget(textLabel);
  pattern->addWidget(Text9);
  pattern->addStretch();
  Text7 = TextBox("Text7", Frame1);
  Text6 = TextBox("Text6", Frame1);
  Text13 = TextBox("Text13", Frame1);
  for (QLineEdit* box : {Text7, Text6, Text13}) box->setMaximumWidth(80);
  Command5 = Button("Command5", QStringLiteral("Font"), Frame1);
  Command5->setToolTip(QStringLiteral("The font of the alphabet box"));

  auto* grid = new QGridLayout(Frame1);
  AddRow(grid, 0, Label("Label3", QStringLiteral("Alphabet:"), Frame1), Text4);
  grid->addWidget(Command5, 0, 2);
  QLabel* Label4 = Label("Label4", QStringLiteral("References:"), Frame1);
  auto* types = new QHBoxLayout;
  types->addWidget(Option10);
  types->addWidget(Option11);
  types->addWidget(Frame2);
  grid->addWidget(Label4, 1, 0);
  grid->addLayout(types, 1, 1, 1, 2);
  AddRow(grid, 2, Label("Label2", QStringLiteral("End of Line:"), Frame1), Text7);
  AddRow(grid, 3, Label("Label6", QStringLiteral("Join:"), Frame1), Text6);
  AddRow(grid, 4, Label(isNew ? "Label7" : "Label11", QStringLiteral("End Hyphen:"), Frame1), Text13);
  grid->setColumnStretch(1, 1);
  return Frame1;
}

QWidget* ProjectDialog::CreateVocabularyFrame() {
  QGroupBox* Frame6 = Frame("Frame6", QStringLiteral("Save Vocabulary"), this);
  Option1 = Option("Option1", QStringLiteral("All"), Frame6);
  Option2 = Option("Option2", QStringLiteral("None"), Frame6);
  Option3 = Option("Option3", QStringLiteral("Matches"), Frame6);
  QGroupBox* Frame5 = Frame("Frame5", QStringLiteral("Any of"), Frame6);
  Text10 = TextBox("Text10", Frame5);
  Text11 = TextBox("Text11", Frame5);
  Text12 = TextBox("Text12", Frame5);
  auto* patterns = new QGridLayout(Frame5);
  AddRow(patterns, 0, Label("Label8", QStringLiteral("Prefix"), Frame5), Text10);
  AddRow(patterns, 1, Label("Label9", QStringLiteral("Suffix"), Frame5), Text11);
  AddRow(patterns, 2, Label("Label10", QStringLiteral("Anywhere"), Frame5), Text12);

  auto* layout = new QHBoxLayout(Frame6);
  auto* scopes = new QVBoxLayout;
  scopes->addWidget(Option1);
  scopes->addWidget(Option2);
  scopes->addWidget(Option3);
  scopes->addStretch();
  layout->addLayout(scopes);
  layout->addWidget(Frame5, 1);
  return Frame6;
}

// Every field goes into the record as the user changes it, so the record is what the dialog
// shows.
void ProjectDialog::ConnectFields() {
  auto bindText = [this](QLineEdit* box, std::string Project::*field, bool isPath) {
    connect(box, &QLineEdit::textEdited, this, [this, field, isPath](const QString& text) {
      project_.*field = isPath ? PathBytes(text) : Encode1252(text);
    });
  };
  bindText(Text3, &Project::Title, false);
  bindText(Text1, &Project::FileName, true);
  bindText(Text10, &Project::PrefixPattern, false);
  bindText(Text11, &Project::SuffixPattern, false);
  bindText(Text12, &Project::AnywherePattern, false);
  auto bindRule = [this](QLineEdit* box, std::string ScanRules::*field) {
    connect(box, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { project_.rules.*field = Encode1252(text); });
  };
  bindRule(Text4, &ScanRules::alphabet);
  bindRule(Text8, &ScanRules::leftReference);
  bindRule(Text9, &ScanRules::rightReference);
  bindRule(Text7, &ScanRules::endOfLine);
  bindRule(Text6, &ScanRules::join);
  bindRule(Text13, &ScanRules::endHyphen);

  connect(Check1, &QCheckBox::clicked, this, [this](bool checked) {
    project_.SaveVocabulary = checked ? 1 : 0;
    if (!checked) prompts_.Message(this, QStringLiteral("Vocabulary NOT saved!"));
  });
  auto bindScope = [this](QRadioButton* button, VocabularyScope scope) {
    connect(button, &QRadioButton::clicked, this, [this, scope] { project_.scope = scope; });
  };
  bindScope(Option1, VocabularyScope::All);
  bindScope(Option2, VocabularyScope::None);
  bindScope(Option3, VocabularyScope::Matches);
  connect(Option10, &QRadioButton::clicked, this, [this] {
    project_.rules.referenceType = ReferenceType::None;
    ShowReferenceType();
  });
  connect(Option11, &QRadioButton::clicked, this, [this] {
    project_.rules.referenceType = ReferenceType::Type1;
    ShowReferenceType();
  });

  connect(Command1, &QPushButton::clicked, this, [this] { AddFiles(chooser->SelectedFiles()); });
  connect(chooser, &FileChooser::fileActivated, this, [this](const QString& name) { AddFiles({name}); });
  connect(Command4, &QPushButton::clicked, chooser, &FileChooser::SelectAll);
  connect(Command6, &QPushButton::clicked, chooser, &FileChooser::SelectNone);
  connect(List1, &QListWidget::itemDoubleClicked, this, &ProjectDialog::RemoveFile);
  connect(Command2, &QPushButton::clicked, this, &ProjectDialog::Browse);
  connect(Command5, &QPushButton::clicked, this, &ProjectDialog::ChooseFont);
  connect(Command9, &QPushButton::clicked, this, &ProjectDialog::lettersRequested);
  connect(Command7, &QPushButton::clicked, this, &ProjectDialog::saveRequested);
  connect(Command3, &QPushButton::clicked, this, &ProjectDialog::okRequested);
  connect(Command8, &QPushButton::clicked, this, &ProjectDialog::reject);
  if (kind_ == Kind::New) {
    for (QLineEdit* box : {Text7, Text6, Text13, Text8, Text9}) box->installEventFilter(this);
  }
}

void ProjectDialog::Refresh() {
  SetText(Text3, Decode1252(project_.Title));
  SetText(Text1, PathText(project_.FileName));
  Check1->setCheckState(project_.SaveVocabulary == 1   ? Qt::Checked
                        : project_.SaveVocabulary == 2 ? Qt::PartiallyChecked
                                                       : Qt::Unchecked);
  List1->clear();
  for (const std::string& file : project_.Files) List1->addItem(PathText(file));

  const ScanRules& rules = project_.rules;
  SetText(Text4, Decode1252(rules.alphabet));
  SetText(Text8, Decode1252(rules.leftReference));
  SetText(Text9, Decode1252(rules.rightReference));
  SetText(Text7, Decode1252(rules.endOfLine));
  SetText(Text6, Decode1252(rules.join));
  SetText(Text13, Decode1252(rules.endHyphen));
  CheckOnly({Option10, Option11}, rules.referenceType == ReferenceType::None    ? Option10
                                  : rules.referenceType == ReferenceType::Type1 ? Option11
                                                                                : nullptr);
  ShowReferenceType();

  const AlphabetFont& shown = project_.font;
  QFont font = FixedPitch(QString::fromStdString(shown.name), shown.size);
  font.setBold(shown.bold);
  font.setItalic(shown.italic);
  font.setStrikeOut(shown.strikethrough);
  font.setUnderline(shown.underline);
  Text4->setFont(font);

  CheckOnly({Option1, Option2, Option3}, project_.scope == VocabularyScope::All       ? Option1
                                         : project_.scope == VocabularyScope::None    ? Option2
                                         : project_.scope == VocabularyScope::Matches ? Option3
                                                                                      : nullptr);
  SetText(Text10, Decode1252(project_.PrefixPattern));
  SetText(Text11, Decode1252(project_.SuffixPattern));
  SetText(Text12, Decode1252(project_.AnywherePattern));
}

void ProjectDialog::ResetFolder(const QString& folder) {
  chooser->SetPattern(QStringLiteral("*.txt"));
  chooser->SetFolder(folder);
}

void ProjectDialog::CopyFolderFrom(const ProjectDialog& other) {
  chooser->SetPattern(other.chooser->Pattern());
  chooser->SetFolder(other.chooser->Folder());
}

// An entry is the folder and the name, or the name alone with "No Path"; a file already in
// the project (the same text exactly) is not added again.
void ProjectDialog::AddFiles(const QStringList& names) {
  const bool noPath = Check2 && Check2->isChecked();
  QString folder = chooser->Folder();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  QStringList entries;
  std::vector<std::string> paths;
  for (const QString& name : names) {
    entries.append(noPath ? name : folder + name);
    paths.push_back(PathBytes(entries.back()));
  }
  QStringList added;
  for (const size_t i : project_.AddFiles(paths)) added.append(entries[static_cast<qsizetype>(i)]);
  List1->addItems(added);
}

void ProjectDialog::RemoveFile(QListWidgetItem* item) {
  const int row = List1->row(item);
  if (row < 0 || row >= static_cast<int>(project_.Files.size())) return;
  project_.Files.erase(project_.Files.begin() + row);
  delete List1->takeItem(row);
}

void ProjectDialog::ShowReferenceType() {
  const bool type1 = project_.rules.referenceType == ReferenceType::Type1;
  for (QWidget* control : std::initializer_list<QWidget*>{Text8, Text9, Command9, Frame2}) control->setEnabled(type1);
}

// The alphabet box shows the chosen font; the project keeps it.
void ProjectDialog::ChooseFont() {
  QFont font = Text4->font();
  if (!prompts_.ChooseFont(this, font)) return;
  Text4->setFont(font);
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
  Text1->setText(path);
  project_.FileName = PathBytes(path);
}

void ProjectDialog::SetBusy(bool busy) {
  busy_ = busy;
  QWidget* Frame4 = ProgressBar1->parentWidget();
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child != Frame4) child->setEnabled(!busy);
  }
  List1->setEnabled(!busy);
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
