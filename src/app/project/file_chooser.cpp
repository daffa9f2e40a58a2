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

#include "project/file_chooser_names.h"
#include "ui/controls.h"

namespace wordloom::app {
namespace {

namespace names = file_chooser_names;

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentStep = 12;

// The folder list has no tree of its own: each entry is drawn indented by its depth.
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
  folderEdit_ = ResultBox(names::kFolder, this);
  drivesBox_ = Named(new QComboBox(this), names::kDrives);
  for (const QString& drive : Drives()) drivesBox_->addItem(drive, drive);
  foldersList_ = Named(new QListWidget(this), names::kFolders);
  foldersList_->setItemDelegate(new IndentDelegate(foldersList_));
  patternEdit_ = TextBox(names::kPattern, this);
  patternEdit_->setText(QStringLiteral("*.txt"));
  filesList_ = Named(new QListWidget(this), names::kFiles);
  filesList_->setSelectionMode(QAbstractItemView::ExtendedSelection);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Label(names::kFolderCaption, QStringLiteral("Folder:"), this), 0, 0);
  layout->addWidget(Label(names::kPatternCaption, QStringLiteral("Files of type:"), this), 0, 1);
  layout->addWidget(folderEdit_, 1, 0);
  layout->addWidget(patternEdit_, 1, 1);
  layout->addWidget(drivesBox_, 2, 0);
  layout->addWidget(foldersList_, 3, 0);
  layout->addWidget(filesList_, 2, 1, 2, 1);
  layout->setRowStretch(3, 1);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 1);

  connect(drivesBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    root_ = drivesBox_->itemData(index).toString();
    ShowFolder(root_);
  });
  // A double-click, whatever the desktop's single-click setting; Enter is seen by eventFilter.
  connect(foldersList_, &QListWidget::itemDoubleClicked, this, &FileChooser::EnterFolder);
  connect(filesList_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* entry) { emit fileActivated(entry->text()); });
  connect(patternEdit_, &QLineEdit::editingFinished, this, &FileChooser::FillFiles);
  for (QObject* control : std::initializer_list<QObject*>{foldersList_, filesList_, patternEdit_}) {
    control->installEventFilter(this);
  }

  SetFolder(QDir::currentPath());
}

void FileChooser::SetFolder(const QString& folder) {
  QString path = QDir::cleanPath(QDir::current().absoluteFilePath(folder.isEmpty() ? QStringLiteral(".") : folder));
  while (!QFileInfo(path).isDir() && path != QLatin1String("/")) path = QFileInfo(path).absolutePath();

  int drive = 0;
  for (int index = 1; index < drivesBox_->count(); ++index) {
    const QString candidate = drivesBox_->itemData(index).toString();
    if (IsUnder(path, candidate) && candidate.size() > drivesBox_->itemData(drive).toString().size()) drive = index;
  }
  {
    const QSignalBlocker blocker(drivesBox_);
    drivesBox_->setCurrentIndex(drive);
  }
  root_ = drivesBox_->itemData(drive).toString();
  ShowFolder(path);
}

QString FileChooser::Folder() const { return folder_; }

void FileChooser::SetPattern(const QString& pattern) {
  patternEdit_->setText(pattern);
  FillFiles();
}

QString FileChooser::Pattern() const { return patternEdit_->text(); }

QStringList FileChooser::SelectedFiles() const {
  QStringList selected;
  for (int row = 0; row < filesList_->count(); ++row) {
    if (filesList_->item(row)->isSelected()) selected << filesList_->item(row)->text();
  }
  return selected;
}

void FileChooser::SelectAll() { filesList_->selectAll(); }

void FileChooser::SelectNone() {
  for (int row = filesList_->count() - 1; row >= 0; --row) filesList_->item(row)->setSelected(false);
}

// Enter opens a folder or a file here and goes no further, so it never presses the dialog's
// default button as well.
bool FileChooser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QWidget::eventFilter(watched, event);
  if (watched == patternEdit_) {
    FillFiles();
  } else if (watched == foldersList_ && foldersList_->currentItem()) {
    EnterFolder(foldersList_->currentItem());
  } else if (watched == filesList_ && filesList_->currentItem()) {
    emit fileActivated(filesList_->currentItem()->text());
  }
  return true;
}

void FileChooser::ShowFolder(const QString& folder) {
  folder_ = folder;
  FillFolders();
  FillFiles();
  folderEdit_->setText(folder_);
}

void FileChooser::FillFolders() {
  foldersList_->clear();
  const auto addEntry = [this](const QString& name, const QString& path, int depth, QStyle::StandardPixmap icon) {
    auto* entry = new QListWidgetItem(style()->standardIcon(icon), name, foldersList_);
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
  foldersList_->setCurrentRow(depth);

  QStringList subfolders = QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  SortCaseless(subfolders);
  for (const QString& name : subfolders) addEntry(name, JoinPath(folder_, name), depth + 1, QStyle::SP_DirClosedIcon);
}

// An unreadable folder lists nothing.
void FileChooser::FillFiles() {
  QStringList files = QDir(folder_).entryList(Patterns(patternEdit_->text()), QDir::Files);
  SortCaseless(files);
  filesList_->clear();
  filesList_->addItems(files);
}

void FileChooser::EnterFolder(QListWidgetItem* entry) { ShowFolder(entry->data(kPathRole).toString()); }

}  // namespace wordloom::app
