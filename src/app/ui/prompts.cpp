#include "ui/prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>

namespace wordloom::app {

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) entries << parts[i];
  return entries.join(";;");
}

void DialogPrompts::Message(QWidget* parent, const QString& text, MessageKind kind) {
  const QString title = QStringLiteral("Wordloom");
  switch (kind) {
    case MessageKind::Information:
      QMessageBox::information(parent, title, text);
      break;
    case MessageKind::Warning:
      QMessageBox::warning(parent, title, text);
      break;
    case MessageKind::Critical:
      QMessageBox::critical(parent, title, text);
      break;
  }
}

bool DialogPrompts::Question(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QStringLiteral("Wordloom"), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QString DialogPrompts::OpenFileName(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), QtFileFilter(filter));
}

// A name typed without an extension gets the one of the chosen filter.
QString DialogPrompts::SaveFileName(QWidget* parent, const QString& filter, const QString& initialName) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = QtFileFilter(filter).split(QStringLiteral(";;"));
  dialog.setNameFilters(filters);
  auto suffixOf = [](const QString& entry) {
    const qsizetype dot = entry.lastIndexOf(QStringLiteral("*."));
    return dot < 0 ? QString() : entry.mid(dot + 2).section(QLatin1Char(')'), 0, 0);
  };
  dialog.setDefaultSuffix(suffixOf(filters.value(0)));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, suffixOf](const QString& entry) { dialog.setDefaultSuffix(suffixOf(entry)); });
  if (!initialName.isEmpty()) dialog.selectFile(initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

bool DialogPrompts::ChoosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void DialogPrompts::SetUpPage(QWidget* parent, QPrinter& printer) {
  QPageSetupDialog dialog(&printer, parent);
  dialog.exec();
}

void DialogPrompts::PreviewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
  QPrintPreviewDialog dialog(&printer, parent);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) { paint(target); });
  dialog.exec();
}

bool DialogPrompts::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool DialogPrompts::StartProgram(const QString& program) { return QProcess::startDetached(program, {}); }

bool DialogPrompts::ChooseFont(QWidget* parent, QFont& font) {
  bool chosen = false;
  const QFont picked = QFontDialog::getFont(&chosen, font, parent);
  if (chosen) font = picked;
  return chosen;
}

}  // namespace wordloom::app
