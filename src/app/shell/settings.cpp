#include "shell/settings.h"


#include "concordance/concordance_run.h"

namespace wordloom::app {
namespace {

constexpr int kRecentProjects = 6;
constexpr int kDefaultContext = 60;

struct Key {
  const char* name;
  const char* defaultText;  // nullptr: computed (the scratch folder)
};

// The stored settings and their defaults on first read.
constexpr Key kKeys[] = {
    {"Version", ""},        {"MainLeft", "1000"}, {"MainTop", "1000"},     {"MainWidth", "7800"},
    {"MainHeight", "6500"}, {"TEMP_DIR", nullptr}, {"Tips", "1"},          {"StartUp0", "True"},
    {"StartUp1", "False"},  {"StartUp2", "False"}, {"Context", "60"},     {"Threads", "0"},
};

QString DefaultOf(const QString& key) {
  for (const Key& entry : kKeys) {
    if (key == QLatin1String(entry.name)) {
      return entry.defaultText ? QString::fromLatin1(entry.defaultText) : Settings::DefaultTempDir();
    }
  }
  return QString();
}

QString BooleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

bool BooleanOf(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  bool isNumber = false;
  const double number = trimmed.toDouble(&isNumber);
  return isNumber && number != 0;
}

double NumberOr(const QString& text, double fallback) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  return ok ? value : fallback;
}

QString TwipsText(int pixels) { return QString::number(static_cast<float>(pixels) * Settings::kTwipsPerPixel, 'g', 7); }

}  // namespace

int ContextWidthOf(const QString& text) {
  int width = kDefaultContext;
  return ParseContextWidth(text.trimmed().toStdString(), width) ? width : kDefaultContext;
}

OptionValues AsOptionButtons(const OptionValues& options) {
  OptionValues shown = options;
  int chosen = 0;
  for (int page = 0; page < 3; ++page) {
    if (options.startUp[page]) chosen = page;
  }
  for (int page = 0; page < 3; ++page) shown.startUp[page] = page == chosen;
  return shown;
}

int StartUpOutputOf(const OptionValues& options) {
  for (int page = 0; page < 3; ++page) {
    if (options.startUp[page]) return page;
  }
  return 0;
}

Settings::Settings(const QString& filePath)
    : store_(filePath.isEmpty() ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                              QStringLiteral("Wordloom"), QStringLiteral("Wordloom"))
                                : std::make_unique<QSettings>(filePath, QSettings::NativeFormat)) {}

QString Settings::Value(const QString& key) const {
  const QVariant value = store_->value(QStringLiteral("Settings/") + key);
  return value.isValid() ? value.toString() : DefaultOf(key);
}

void Settings::SetValue(const QString& key, const QString& text) { store_->setValue(QStringLiteral("Settings/") + key, text); }

bool Settings::HasCurrentLayout() const { return Value(QStringLiteral("Version")) == QLatin1String(kLayoutVersion); }

void Settings::ResetLayout() {
  SetValue(QStringLiteral("Version"), QString::fromLatin1(kLayoutVersion));
  for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
    SetValue(QString::fromLatin1(key), DefaultOf(QString::fromLatin1(key)));
  }
  SetValue(QStringLiteral("TEMP_DIR"), DefaultTempDir());
}

OptionValues Settings::ReadOptions() const {
  OptionValues options;
  options.tips = static_cast<int>(NumberOr(Value(QStringLiteral("Tips")), 1));
  for (int page = 0; page < 3; ++page) options.startUp[page] = BooleanOf(Value(QStringLiteral("StartUp%1").arg(page)));
  options.context = Value(QStringLiteral("Context"));
  const double threads = NumberOr(Value(QStringLiteral("Threads")), 0);
  options.threads = threads >= 0 && threads <= kMostScanThreads ? static_cast<int>(threads) : 0;
  return options;
}

void Settings::WriteOptions(const OptionValues& options) {
  SetValue(QStringLiteral("Tips"), QString::number(options.tips));
  for (int page = 0; page < 3; ++page) SetValue(QStringLiteral("StartUp%1").arg(page), BooleanText(options.startUp[page]));
  SetValue(QStringLiteral("Context"), options.context);
  SetValue(QStringLiteral("Threads"), QString::number(options.threads));
}

QRect Settings::ReadGeometry() const {
  auto pixels = [this](const char* key) {
    const double twips = NumberOr(Value(QString::fromLatin1(key)), NumberOr(DefaultOf(QString::fromLatin1(key)), 0));
    return static_cast<int>(twips / kTwipsPerPixel);
  };
  return QRect(pixels("MainLeft"), pixels("MainTop"), pixels("MainWidth"), pixels("MainHeight"));
}

// A value whose pixels did not change keeps its stored twips, so that a size that is no whole
// number of pixels does not creep from run to run.
void Settings::WriteGeometry(const QRect& pixels) {
  const QRect stored = ReadGeometry();
  auto write = [this](const char* key, int now, int before) {
    if (now != before) SetValue(QString::fromLatin1(key), TwipsText(now));
  };
  write("MainLeft", pixels.left(), stored.left());
  write("MainTop", pixels.top(), stored.top());
  write("MainWidth", pixels.width(), stored.width());
  write("MainHeight", pixels.height(), stored.height());
}

QString Settings::TempDir() const { return Value(QStringLiteral("TEMP_DIR")); }

QString Settings::DefaultTempDir() { return qEnvironmentVariable("TEMP"); }

QStringList Settings::RecentProjects() const { return store_->value(QStringLiteral("Recent/Projects")).toStringList(); }

void Settings::AddRecentProject(const QString& path) {
  QStringList recent = RecentProjects();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentProjects) recent.removeLast();
  store_->setValue(QStringLiteral("Recent/Projects"), recent);
}

void Settings::RemoveRecentProject(const QString& path) {
  QStringList recent = RecentProjects();
  recent.removeAll(path);
  store_->setValue(QStringLiteral("Recent/Projects"), recent);
}

}  // namespace wordloom::app
