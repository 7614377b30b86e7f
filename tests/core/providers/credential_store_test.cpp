// Provider passwords go to the secret service of the session bus and come
// back from it; without one they stay in memory. Each case runs in a child
// process of its own, since GLib keeps one session bus per process.
#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <chrono>
#include <thread>

#include "core/document/text_codec.h"
#include "core/playlists/playlist_import.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_client.h"
#include "core/stores/settings_store.h"
#include "secret_service_stand_in.h"

namespace vidora {
namespace {

constexpr char kPassword[] = "Sesame-7f3a";

// The address of a new private bus daemon (its pid in `pid`), or empty.
std::string StartBus(long& pid) {
  FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 </dev/null 2>/dev/null", "r");
  if (out == nullptr) return {};
  char address[512] = {};
  char pid_text[32] = {};
  const bool read = std::fgets(address, sizeof(address), out) != nullptr && std::fgets(pid_text, sizeof(pid_text), out) != nullptr;
  pclose(out);
  if (!read) return {};
  pid = std::strtol(pid_text, nullptr, 10);
  std::string text(address);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool AnyFileHolds(const std::filesystem::path& folder, const std::string& text) {
  std::string wide;
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos) return true;
  }
  return false;
}

// Stores the password, imports the account's channels, saves the
// settings, and reads the password back through a store of its own (no
// memory copy). Exits 0 when all went as it should.
int StoreImportAndReadBack(testing::SecretServiceStandIn& service, const std::filesystem::path& home) {
  httplib::Server server;
  server.Get("/player_api.php", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("action") == "get_live_streams") {
      response.set_content(R"([{"name":"One","stream_id":"1","category_id":"1"}])", "application/json");
    } else if (request.get_param_value("action").empty()) {
      response.set_content(R"({"user_info":{"auth":1,"status":"Active","exp_date":null}})", "application/json");
    } else {
      response.set_content("[]", "application/json");
    }
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&server] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const XtreamAccount account{"http://127.0.0.1:" + std::to_string(port), "viewer"};
  const int code = [&] {

  const SecretSave save = Credentials().Save(account, kPassword);
  if (!save.in_secret_service) return 10;
  bool stored = false;
  for (const auto& [path, secret] : service.Secrets()) stored = stored || secret == kPassword;
  if (!stored) return 11;

  SetSchemeImporter(kXtreamScheme, &ImportXtreamSource);
  const PlaylistImport imported =
      FetchAndImportPlaylist(Utf8ToUtf16(XtreamSource(account)), u"", home / "playlists", 1760000000);
  if (!imported.ok) return 12;
  SettingsStore settings;
  settings.Load(home / "Settings.cfg");
  settings.SetString("Language", u"en");
  if (!settings.Save()) return 13;
  if (AnyFileHolds(home, kPassword)) return 14;

  CredentialStore fresh;
  if (fresh.Find(account) != std::optional<std::string>(kPassword)) return 15;
  fresh.Forget(account);
  if (!service.Secrets().empty()) return 16;
  return 0;
  }();
  server.stop();
  thread.join();
  return code;
}

[[noreturn]] void WithSecretService() {
  long pid = 0;
  const std::string address = StartBus(pid);
  if (address.empty()) std::exit(2);
  setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  const std::filesystem::path home = std::filesystem::path(::testing::TempDir()) / "secret_home";
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home);
  int code = 3;
  {
    testing::SecretServiceStandIn service(address);
    if (service.ready()) code = StoreImportAndReadBack(service, home);
  }
  kill(static_cast<pid_t>(pid), SIGTERM);
  std::exit(code);
}

[[noreturn]] void WithoutSecretService() {
  long pid = 0;
  const std::string address = StartBus(pid);
  if (address.empty()) std::exit(2);
  setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  const XtreamAccount account{"http://127.0.0.1:9", "viewer"};
  const SecretSave save = Credentials().Save(account, kPassword);
  kill(static_cast<pid_t>(pid), SIGTERM);
  if (save.in_secret_service || save.reason.empty()) std::exit(4);
  std::exit(Credentials().Find(account) == std::optional<std::string>(kPassword) ? 0 : 5);
}

TEST(CredentialStoreTest, PasswordLivesInTheSecretServiceOnly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(WithSecretService(), ::testing::ExitedWithCode(0), "");
}

TEST(CredentialStoreTest, WithoutASecretServiceThePasswordStaysInMemory) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(WithoutSecretService(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vidora
