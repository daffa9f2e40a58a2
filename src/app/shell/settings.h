// Settings: the per-user settings that outlive a run, section "Settings" of the store named
// after the program ("Wordloom").
//
// Every value is stored as text, under the keys of the table in settings.cpp with their
// defaults: the settings layout ("Version"), the main window's place and size in twips (15
// to a pixel), the scratch folder "TEMP_DIR", and the options of the Options dialog. A
// missing or unreadable value gives its default; a store that cannot be written is not
// reported. The recent-projects list is kept apart, in section "Recent".
#pragma once

#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace wordloom::app {

// The options as the Options dialog holds them.
struct OptionValues {
  int tips = 1;                                  // "Show Tips on startup": 1 checked, 0 clear
  std::array<bool, 3> startUp = {true, false, false};  // "Concordance", "Word List", "Profile"
  QString context = QStringLiteral("60");        // the context width as typed
  int threads = 0;  // of the vocabulary scan: 0 follows the machine
  bool operator==(const OptionValues&) const = default;
};

// The options as the dialog's controls hold them: of the three start-up pages, only the last
// one set stays set (the first when none is).
OptionValues AsOptionButtons(const OptionValues& options);

// The most threads the Options dialog offers for the vocabulary scan.
inline constexpr int kMostScanThreads = 256;

// The context width of the typed text: a number kept within 10 to 240, 60 when not a number.
int ContextWidthOf(const QString& text);
// The page shown after a project opens: the first page whose option is set, else 0.
int StartUpOutputOf(const OptionValues& options);

class Settings {
 public:
  static constexpr const char* kLayoutVersion = "32v32";
  static constexpr int kTwipsPerPixel = 15;

  // The user's store, or the settings file at `filePath` (tests).
  explicit Settings(const QString& filePath = QString());

  // The stored text of `key`, or its default.
  QString Value(const QString& key) const;
  void SetValue(const QString& key, const QString& text);

  // True when the store has this program's settings layout.
  bool HasCurrentLayout() const;
  // The first-run step: the layout marker, the window's default place and size, the default
  // scratch folder.
  void ResetLayout();

  OptionValues ReadOptions() const;
  void WriteOptions(const OptionValues& options);

  // The main window's place and size, in pixels.
  QRect ReadGeometry() const;
  void WriteGeometry(const QRect& pixels);

  // The "TEMP_DIR" setting; empty means the private per-user scratch folder.
  QString TempDir() const;
  // The environment variable TEMP, which may be empty.
  static QString DefaultTempDir();

  QStringList RecentProjects() const;
  void AddRecentProject(const QString& path);
  void RemoveRecentProject(const QString& path);

  void Sync() { store_->sync(); }

 private:
  std::unique_ptr<QSettings> store_;
};

}  // namespace wordloom::app
