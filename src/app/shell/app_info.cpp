#include "shell/app_info.h"

#include <QFileInfo>

#include "base/paths.h"

namespace wordloom::app {

QString MainCaption() {
  return QStringLiteral("%1 - %2.%3").arg(QString::fromLatin1(kAppTitle)).arg(kVersionMajor).arg(kVersionMinor);
}

QString FindDataFile(const QString& name) {
  const QString program = QString::fromStdString(ProgramFolder());
  for (const QString& folder : {program, program + QStringLiteral("/../share/wordloom")}) {
    const QFileInfo candidate(folder + QLatin1Char('/') + name);
    if (candidate.exists()) return candidate.absoluteFilePath();
  }
  return QString();
}

}  // namespace wordloom::app
