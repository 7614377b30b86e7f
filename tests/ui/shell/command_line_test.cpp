// The command line: help and version, sorting of addresses, files and
// playlists, the text a later start forwards, and the display check.
#include "ui/shell/command_line.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_dir.h"
#include "ui/shell/app_startup.h"
#include "ui/shell/display_check.h"

namespace vidora {
namespace {

QStringList Args(std::initializer_list<const char*> rest) {
  QStringList list{QStringLiteral("vidora")};
  for (const char* argument : rest) list.append(QString::fromUtf8(argument));
  return list;
}

// Sets or clears an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(CommandLineTest, HelpAndVersion) {
  EXPECT_TRUE(ParseCommandLine(Args({"--help"})).show_help);
  EXPECT_TRUE(ParseCommandLine(Args({"-h"})).show_help);
  EXPECT_TRUE(ParseCommandLine(Args({"--version"})).show_version);
  EXPECT_TRUE(ParseCommandLine(Args({"-v"})).show_version);
  EXPECT_EQ(CommandLineVersionText(), "vidora 3.2.0\n");
  const QString help = CommandLineHelpText();
  EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: vidora"))) << help.toStdString();
  EXPECT_TRUE(help.contains(QStringLiteral("--version")));
  // Help wins even next to an option only Qt knows.
  EXPECT_TRUE(ParseCommandLine(Args({"-platform", "offscreen", "--help"})).show_help);
}

TEST(CommandLineTest, SortsAddressesFilesAndPlaylists) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  QFile(folder + QStringLiteral("/clip.ts")).open(QIODevice::WriteOnly);
  const QString old_folder = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder));
  const CommandLineRequests requests =
      ParseCommandLine(Args({"http://127.0.0.1:8080/x.ts", "clip.ts", "list.M3U", "https://127.0.0.1/live.m3u8?k=1",
                             "file:///tmp/other.m3u", "rtmp://127.0.0.1/app"}));
  QDir::setCurrent(old_folder);
  EXPECT_TRUE(requests.error.isEmpty()) << requests.error.toStdString();
  EXPECT_EQ(requests.stream_addresses,
            (QStringList{QStringLiteral("http://127.0.0.1:8080/x.ts"), folder + QStringLiteral("/clip.ts"),
                         QStringLiteral("rtmp://127.0.0.1/app")}));
  EXPECT_EQ(requests.playlist_sources,
            (QStringList{folder + QStringLiteral("/list.M3U"), QStringLiteral("https://127.0.0.1/live.m3u8?k=1"),
                         QStringLiteral("/tmp/other.m3u")}));
}

TEST(CommandLineTest, NonsenseAndUnknownOptionsAreErrors) {
  EXPECT_TRUE(ParseCommandLine(Args({})).error.isEmpty());
  EXPECT_TRUE(ParseCommandLine(Args({})).empty());
  const CommandLineRequests missing = ParseCommandLine(Args({"/no/such/file.ts"}));
  EXPECT_FALSE(missing.error.isEmpty());
  EXPECT_TRUE(missing.error.contains(QStringLiteral("/no/such/file.ts")));
  EXPECT_FALSE(missing.error.contains(QLatin1Char('\n')));
  EXPECT_FALSE(ParseCommandLine(Args({"--frobnicate"})).error.isEmpty());
}

TEST(CommandLineTest, ForwardedLineGivesTheSameRequestsBack) {
  CommandLineRequests requests;
  requests.stream_addresses = {QStringLiteral("http://127.0.0.1/a b.ts"), QStringLiteral("http://127.0.0.1/\"q\".ts")};
  requests.playlist_sources = {QStringLiteral("/home/u/My Lists/radio.m3u"), QStringLiteral("http://127.0.0.1/l.m3u8")};
  const CommandLineRequests back = ParseForwardedCommandLine(ForwardedCommandLine(requests));
  EXPECT_TRUE(back.error.isEmpty()) << back.error.toStdString();
  EXPECT_EQ(back.stream_addresses, requests.stream_addresses);
  EXPECT_EQ(back.playlist_sources, requests.playlist_sources);
  EXPECT_TRUE(ForwardedCommandLine(CommandLineRequests{}).isEmpty());
}

TEST(CommandLineTest, WithoutADisplayTheStartEndsWithOneLineAndCodeOne) {
  ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnv x_display("DISPLAY", nullptr);
  EXPECT_FALSE(MissingDisplayReason(Args({})).isEmpty());
  EXPECT_EQ(ExitBeforeApplication(Args({})), std::optional<int>(1));
  // Help and version need no display.
  EXPECT_EQ(ExitBeforeApplication(Args({"--version"})), std::optional<int>(0));
  {
    ScopedEnv broken("DISPLAY", ":59999");
    EXPECT_TRUE(MissingDisplayReason(Args({})).contains(QStringLiteral(":59999")));
  }
  // Platforms without a window system need none either.
  EXPECT_TRUE(MissingDisplayReason(Args({"-platform", "offscreen"})).isEmpty());
  ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
  EXPECT_TRUE(MissingDisplayReason(Args({})).isEmpty());
  EXPECT_EQ(ExitBeforeApplication(Args({})), std::nullopt);
}

}  // namespace
}  // namespace vidora
