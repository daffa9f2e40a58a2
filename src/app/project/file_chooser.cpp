#include "project/file_chooser.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/controls.h"

namespace wordloom::app {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentStep = 12;

// Dir1 has no tree of its own: each entry is drawn indented by its depth.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + Indent(index));
    QStyledItemDelegate::paint(painter, indented, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
  }

 private:
  static int Indent(const QModelIndex& index) { return index.data(kDepthRole).toInt() * kIndentStep; }
};

// `path` is `folder` or lies below it.
bool IsUnder(const QString& path, const QString& folder) {
  return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

QString JoinPath(const QString& folder, const QString& name) {
  return folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
}

void SortCaseless(QStringList& names) {
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
  });
}

// Kernel and runtime file systems hold nothing a project could be made of.
bool IsPseudoVolume(const QStorageInfo& volume) {
  static const QList<QByteArray> kPseudoTypes{
      "proc",     "sysfs",   "devtmpfs", "devpts",      "cgroup",      "cgroup2",    "securityfs",
      "debugfs",  "tracefs", "configfs", "pstore",      "bpf",         "mqueue",     "hugetlbfs",
      "fusectl",  "autofs",  "nsfs",     "binfmt_misc", "efivarfs",    "rpc_pipefs", "overlay",
      "squashfs", "fuse.portal", "fuse.gvfsd-fuse"};
  const QString root = volume.rootPath();
  for (const char* system : {"/proc", "/sys", "/dev"}) {
    if (IsUnder(root, QLatin1String(system))) return true;
  }
  // Removable media mount under /run/media; the rest of /run is the runtime's.
  if (IsUnder(root, QStringLiteral("/run")) && !IsUnder(root, QStringLiteral("/run/media"))) return true;
  return kPseudoTypes.contains(volume.fileSystemType());
}

QStringList Drives() {
  QStringList drives{QStringLiteral("/"), QDir::cleanPath(QDir::homePath())};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    // Containers bind single files such as /etc/hosts; only folders are drives.
    if (!volume.isValid() || !volume.isReady() || IsPseudoVolume(volume) || !QFileInfo(volume.rootPath()).isDir()) {
      continue;
    }
    drives << QDir::cleanPath(volume.rootPath());
  }
  drives.removeDuplicates();
  return drives;
}

// "*.log;*.txt" or "*.log *.txt"; nothing typed lists every file.
QStringList Patterns(const QString& text) {
  static const QRegularExpression kSeparators(QStringLiteral("[;\\s]+"));
  const QStringList patterns = text.split(kSeparators, Qt::SkipEmptyParts);
  return patterns.isEmpty() ? QStringList{QStringLiteral("*")} : patterns;
}

}  // namespace

FileChooser::FileChooser(QWidget* parent) : QWidget(parent) {
  Text2 = ResultBox("Text2", this);
  Drive1 = Named(new QComboBox(this), "Drive1");
  for (const QString& drive : Drives()) Drive1->addItem(drive, drive);
  Dir1 = Named(new QListWidget(this), "Dir1");
  Dir1->setItemDelegate(new IndentDelegate(Dir1));
  Text5 = TextBox("Text5", this);
  Text5->setText(QStringLiteral("*.txt"));
  File1 = Named(new QListWidget(this), "File1");
  File1->setSelectionMode(QAbstractItemView::ExtendedSelection);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Label("FolderCaption", QStringLiteral("Folder:"), this), 0, 0);
  layout->addWidget(Label("PatternCaption", QStringLiteral("Files of type:"), this), 0, 1);
  layout->addWidget(Text2, 1, 0);
  layout->addWidget(Text5, 1, 1);
  layout->addWidget(Drive1, 2, 0);
  layout->addWidget(Dir1, 3, 0);
  layout->addWidget(File1, 2, 1, 2, 1);
  layout->setRowStretch(3, 1);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 1);

  connect(Drive1, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    root_ = Drive1->itemData(index).toString();
    ShowFolder(root_);
  });
  // A double-click, whatever the desktop's single-click setting; Enter is seen by eventFilter.
  connect(Dir1, &QListWidget::itemDoubleClicked, this, &FileChooser::EnterFolder);
  connect(File1, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* entry) { emit fileActivated(entry->text()); });
  connect(Text5, &QLineEdit::editingFinished, this, &FileChooser::FillFiles);
  for (QObject* control : std::initializer_list<QObject*>{Dir1, File1, Text5}) control->installEventFilter(this);

  SetFolder(QDir::currentPath());
}

void FileChooser::SetFolder(const QString& folder) {
  QString path = QDir::cleanPath(QDir::current().absoluteFilePath(folder.isEmpty() ? QStringLiteral(".") : folder));
  while (!QFileInfo(path).isDir() && path != QLatin1String("/")) path = QFileInfo(path).absolutePath();

  int drive = 0;
  for (int index = 1; index < Drive1->count(); ++index) {
    const QString candidate = Drive1->itemData(index).toString();
    if (IsUnder(path, candidate) && candidate.size() > Drive1->itemData(drive).toString().size()) drive = index;
  }
  {
    const QSignalBlocker blocker(Drive1);
    Drive1->setCurrentIndex(drive);
  }
  root_ = Drive1->itemData(drive).toString();
  ShowFolder(path);
}

QString FileChooser::Folder() const { return folder_; }

void FileChooser::SetPattern(const QString& pattern) {
  Text5->setText(pattern);
  FillFiles();
}

QString FileChooser::Pattern() const { return Text5->text(); }

QStringList FileChooser::SelectedFiles() const {
  QStringList names;
  for (int row = 0; row < File1->count(); ++row) {
    if (File1->item(row)->isSelected()) names << File1->item(row)->text();
  }
  return names;
}

void FileChooser::SelectAll() { File1->selectAll(); }

void FileChooser::SelectNone() {
  for (int row = File1->count() - 1; row >= 0; --row) File1->item(row)->setSelected(false);
}

// Enter opens a folder or a file here and goes no further, so it never presses the dialog's
// default button as well.
bool FileChooser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QWidget::eventFilter(watched, event);
  if (watched == Text5) {
    FillFiles();
  } else if (watched == Dir1 && Dir1->currentItem()) {
    EnterFolder(Dir1->currentItem());
  } else if (watched == File1 && File1->currentItem()) {
    emit fileActivated(File1->currentItem()->text());
  }
  return true;
}

void FileChooser::ShowFolder(const QString& folder) {
  folder_ = folder;
  FillFolders();
  FillFiles();
  Text2->setText(folder_);
}

void FileChooser::FillFolders() {
  Dir1->clear();
  const auto addEntry = [this](const QString& name, const QString& path, int depth, QStyle::StandardPixmap icon) {
    auto* entry = new QListWidgetItem(style()->standardIcon(icon), name, Dir1);
    entry->setData(kPathRole, path);
    entry->setData(kDepthRole, depth);
    entry->setToolTip(path);
  };
  addEntry(root_, root_, 0, QStyle::SP_DirOpenIcon);
  QString path = root_;
  int depth = 0;
  for (const QString& name : folder_.mid(root_.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    path = JoinPath(path, name);
    addEntry(name, path, ++depth, QStyle::SP_DirOpenIcon);
  }
  Dir1->setCurrentRow(depth);

  QStringList subfolders = QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  SortCaseless(subfolders);
  for (const QString& name : subfolders) addEntry(name, JoinPath(folder_, name), depth + 1, QStyle::SP_DirClosedIcon);
}

// An unreadable folder lists nothing.
void FileChooser::FillFiles() {
  QStringList names = QDir(folder_).entryList(Patterns(Text5->text()), QDir::Files);
  SortCaseless(names);
  File1->clear();
  File1->addItems(names);
}

void FileChooser::EnterFolder(QListWidgetItem* entry) { ShowFolder(entry->data(kPathRole).toString()); }

}  // namespace wordloom::app
