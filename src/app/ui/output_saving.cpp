#include "ui/output_saving.h"

#include <QSaveFile>

#include "ui/code_page.h"
#include "ui/output_file.h"
#include "ui/output_pane.h"
#include "ui/rtf.h"

namespace wordloom::app {
namespace {

bool WriteAll(QSaveFile& out, std::string_view bytes) {
  return out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

QString SaveError(const QString& path, const QSaveFile& out) {
  return QStringLiteral("Could not save %1: %2.").arg(path, out.errorString());
}

}  // namespace

SaveKind SaveKindOf(const QString& path) {
  return path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) ? SaveKind::Text : SaveKind::Rtf;
}

bool SaveOutput(const OutputFile& file, const QString& path, QString& error) {
  return SaveOutput(file, path, SaveKindOf(path), error);
}

bool SaveOutput(const OutputFile& file, const QString& path, SaveKind kind, QString& error) {
  QSaveFile out(path);
  if (!out.open(QIODevice::WriteOnly)) {
    error = SaveError(path, out);
    return false;
  }
  const auto write = [&](std::string_view bytes) { return WriteAll(out, bytes); };
  std::string readError;
  bool written;
  if (kind == SaveKind::Text) {
    written = file.Stream(0, file.Size(), write, readError);
  } else {
    RtfWriter rtf(OutputPane::kFontName, OutputPane::kPointSize, write, file.Encoding());
    written = file.Stream(0, file.Size(), [&](std::string_view bytes) { return rtf.Write(bytes); }, readError) &&
              rtf.Finish();
  }
  if (written && out.commit()) return true;
  error = readError.empty() ? SaveError(path, out) : PathText(readError);
  out.cancelWriting();
  return false;
}

bool SaveBytes(const QString& path, const std::string& bytes, QString& error) {
  QSaveFile out(path);
  if (out.open(QIODevice::WriteOnly) && WriteAll(out, bytes) && out.commit()) return true;
  error = SaveError(path, out);
  return false;
}

}  // namespace wordloom::app
