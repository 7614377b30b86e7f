// The update commands on the main window: the promotion of what the
// automatic checks found (only while the frame is active, once per run),
// the wait dialog, the messages, and the reload of a replaced catalogue,
// against a server on 127.0.0.1.
#include <QApplication>
#include <QDialog>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <atomic>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/updates/update_service.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/wait_dialog.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A version description: a document whose root is named `version`.
std::string VersionDocument(const fs::path& scratch, const std::string& version) {
  DocNode root;
  root.set_name(version);
  SaveDocumentFile(root, scratch);
  return ReadBytes(scratch);
}

// The publisher's server on 127.0.0.1: answers GET requests for the paths
// it knows with their bytes and everything else with 404, one connection
// at a time, each closed after its answer.
class PublisherServer {
 public:
  explicit PublisherServer(std::map<std::string, std::string> files) : files_(std::move(files)) {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listen_fd_, 8);
    socklen_t size = sizeof address;
    ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~PublisherServer() {
    stop_ = true;
    thread_.join();
    ::close(listen_fd_);
  }
  int port() const { return port_; }

 private:
  void Serve() {
    while (!stop_) {
      pollfd waiting{listen_fd_, POLLIN, 0};
      if (::poll(&waiting, 1, 50) <= 0) continue;
      const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::string head;
      char buffer[1024];
      while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        head.append(buffer, static_cast<size_t>(got));
      }
      const size_t start = head.find(' ') + 1;
      const std::string path = head.substr(start, head.find(' ', start) - start);
      const auto file = files_.find(path);
      const std::string body = file != files_.end() ? file->second : std::string();
      const std::string answer = std::string(file != files_.end() ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                                 "\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\nConnection: close\r\n\r\n" + body;
      for (size_t sent = 0; sent < answer.size();) {
        const ssize_t put = ::write(fd, answer.data() + sent, answer.size() - sent);
        if (put <= 0) break;
        sent += static_cast<size_t>(put);
      }
      ::close(fd);
    }
  }

  std::map<std::string, std::string> files_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class UpdateCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    unsetenv("all_proxy");
    unsetenv("ALL_PROXY");
    testing::LoadTestSkin();
    testing::InstallLanguages(dir_ / "Languages.lngp",
                              {testing::TestLanguage{u"English",
                                                     u"en",
                                                     {{"app_mvdra", u"Vidora"},
                                                      {"str_check_updates", u"Checking"},
                                                      {"str_down_channels", u"Downloading"},
                                                      {"str_wait", u"Please wait"},
                                                      {"msg_error_connection", u"No connection"},
                                                      {"msg_noupdates", u"Nothing new"},
                                                      {"msg_cupdated", u"Channels updated"},
                                                      {"msg_update_available", u"New version"}}}},
                              u"en");
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");  // nobody listens there
    catalogue_ = dir_ / "Channels.vdch";
    fs::copy_file(fs::path(VIDORA_BIN_DIR) / kCatalogueFileName, catalogue_);
  }
  void TearDown() override {
    server_.reset();
    FreeCatalogue();
    FreeLanguagePack();
  }

  void StartServer(const std::string& catalogue_version, const std::string& catalogue_bytes) {
    server_ = std::make_unique<PublisherServer>(std::map<std::string, std::string>{
        {"/downloads/mobile/cupdate.dat", VersionDocument(dir_ / "cupdate.dat", catalogue_version)},
        {"/downloads/mobile/Channels.vdch", catalogue_bytes}});
    SetSetting(kPublisherHostSetting, u"127.0.0.1:" + QString::number(server_->port()).toStdU16String());
  }

  MainFrameOptions Options() {
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<testing::FakePlayerBackend>(record_); };
    options.view.catalogue_file = catalogue_;
    options.save_settings = [] { return true; };
    return options;
  }

  static void Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    testing::ProcessUntil([window] { return QApplication::activeWindow() == window; });
  }

  testing::TempDir dir_;
  fs::path catalogue_;
  testing::FakePlayerBackend::Record record_;
  std::unique_ptr<PublisherServer> server_;
};

TEST_F(UpdateCommandsTest, PendingUpdatesWaitForModalDialogAndFireOncePerRun) {
  MainFrame frame(Options());
  frame.show();
  Activate(&frame);
  UpdateService* updates = frame.view()->updates();
  UpdateState& state = updates->state();
  testing::ModalAnswerer answerer;

  QDialog dialog(&frame);
  dialog.setModal(true);
  dialog.show();
  Activate(&dialog);
  // The check's finding arrives while the dialog is in front.
  state.catalogue_update_pending = true;
  updates->PromotePendingUpdates();
  QApplication::processEvents();
  EXPECT_TRUE(answerer.messages().empty());

  dialog.close();
  Activate(&frame);
  // The frame's activation offers it: the catalogue command's download fails.
  ASSERT_TRUE(testing::ProcessUntil([&answerer] { return !answerer.messages().empty(); }));
  EXPECT_EQ(answerer.messages(), std::vector<QString>{"No connection"});
  EXPECT_FALSE(state.catalogue_update_pending);  // the download began
  state.catalogue_update_pending = true;
  state.application_update_pending = true;
  Activate(&frame);
  updates->PromotePendingUpdates();
  updates->PromotePendingUpdates();
  QApplication::processEvents();
  // The catalogue is not promoted again; the application asks straight away.
  EXPECT_EQ(answerer.messages(), (std::vector<QString>{"No connection", "New version"}));
}

TEST_F(UpdateCommandsTest, CatalogueCommandReportsNothingNewAndConnectionErrors) {
  testing::ModalAnswerer answerer;
  {
    MainFrame frame(Options());
    frame.show();
    frame.Trigger(MainCommand::kChannelUpdate);
    frame.Trigger(MainCommand::kUpdate);
    EXPECT_EQ(answerer.messages(), (std::vector<QString>{"No connection", "No connection"}));
  }
  // The hosts are read when the view starts.
  StartServer("0", "unused");
  MainFrame frame(Options());
  frame.show();
  frame.Trigger(MainCommand::kChannelUpdate);
  EXPECT_EQ(answerer.messages().back(), "Nothing new");
}

TEST_F(UpdateCommandsTest, ReplacedCatalogueStopsPlaybackAndReloads) {
  const std::string newer = ReadBytes(fs::path(VIDORA_BIN_DIR) / kCatalogueFileName);
  ASSERT_FALSE(newer.empty());
  StartServer("9999", newer);
  std::ofstream(catalogue_, std::ios::binary | std::ios::trunc) << "old";  // not a catalogue at all
  MainFrame frame(Options());
  frame.show();
  ASSERT_TRUE(Catalogue()->AllChannels().empty());
  const int stops_before = record_.stops;
  std::vector<QString> titles;
  testing::ModalAnswerer answerer([&titles](QWidget* dialog) {
    if (qobject_cast<UpdateWaitDialog*>(dialog) != nullptr) titles.push_back(dialog->windowTitle());
  });
  frame.Trigger(MainCommand::kChannelUpdate);
  EXPECT_EQ(answerer.messages(), std::vector<QString>{"Channels updated"});
  EXPECT_EQ(ReadBytes(catalogue_), newer);
  EXPECT_GT(record_.stops, stops_before);
  EXPECT_FALSE(Catalogue()->AllChannels().empty());  // reloaded from the new file
}

}  // namespace
}  // namespace vidora
