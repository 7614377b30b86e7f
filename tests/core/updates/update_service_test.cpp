#include "core/updates/update_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "core/document/text_codec.h"
#include "core/net/http_limits.h"
#include "core/net/local_http_server.h"
#include "core/updates/thread_job_runner.h"
#include "core/updates/update_addresses.h"
#include "core/updates/version_compare.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

using testing::HeaderLinesOf;
using testing::HttpAnswer;
using testing::LocalHttpServer;
using testing::RequestLine;
using testing::RequestPath;
using testing::TempDir;
using testing::ThreadJobRunner;

TEST(CompareVersionsTest, ComparesComponentByComponent) {
  EXPECT_EQ(CompareVersions("3.2.1", "3.2.0"), 3);
  EXPECT_EQ(CompareVersions("3.2", "3.2.0"), 0);
  EXPECT_EQ(CompareVersions("3.10", "3.9"), 2);
  EXPECT_EQ(CompareVersions("2.9.9", "3.0"), -1);
  EXPECT_EQ(CompareVersions("2b", "2"), 0);
  EXPECT_EQ(CompareVersions("1.2.3.4", "1.2.3.3"), 4);
  // Only four components count.
  EXPECT_EQ(CompareVersions("1.2.3.4.9", "1.2.3.4"), 0);
  // Runs of dots and leading dots make no empty components.
  EXPECT_EQ(CompareVersions("..3...2", "3.2"), 0);
  EXPECT_EQ(CompareVersions("x.5", "0.5"), 0);
  EXPECT_EQ(CompareVersions(" +4.-1", "4.0"), -2);
  EXPECT_EQ(CompareVersions("", "0.0.0.1"), -4);
  EXPECT_EQ(CompareVersions("99999999999999999999", "2147483647"), 0);
}

std::string DocumentBytes(const std::string& root_name, bool with_country = false) {
  DocNode root(root_name);
  if (with_country) root.AddChild("xx");
  MemoryStream stream;
  WriteDocument(root, stream);
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.size());
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Records what the service asks of the user interface; runs each wait
// dialog's worker on a thread of its own, like the real dialog.
class FakeUpdateUi : public UpdateUi {
 public:
  void RunWaitDialog(UpdateWaitKind kind, std::string_view title_key, WaitWorker worker,
                     std::atomic<bool>& cancel) override {
    if (cancel_at_start) cancel = true;
    kinds.push_back(kind);
    AddTitle(title_key);
    std::thread thread([&] { worker([this](std::string_view key) { AddTitle(key); }); });
    thread.join();
  }
  MessageAnswer ShowMessageByKey(std::string_view key, MessageButtons buttons) override {
    messages.emplace_back(key);
    this->buttons.push_back(buttons);
    return answer;
  }
  void OpenWebAddress(const std::u16string& address) override { opened.push_back(address); }
  void StopPlayback() override { ++stops; }
  bool IsFrameActive() override { return frame_active; }
  void SendCommand(UpdateCommand command) override { commands.push_back(command); }

  std::vector<std::string> Titles() {
    std::lock_guard<std::mutex> lock(mutex_);
    return titles_;
  }

  std::vector<UpdateWaitKind> kinds;
  std::vector<std::string> messages;
  std::vector<MessageButtons> buttons;
  std::vector<std::u16string> opened;
  std::vector<UpdateCommand> commands;
  int stops = 0;
  MessageAnswer answer = MessageAnswer::kYes;
  bool frame_active = true;
  // The user cancels the wait dialog as soon as it is up.
  bool cancel_at_start = false;

 private:
  void AddTitle(std::string_view key) {
    std::lock_guard<std::mutex> lock(mutex_);
    titles_.emplace_back(key);
  }
  std::mutex mutex_;
  std::vector<std::string> titles_;
};

// The publisher's server: the files it holds by path; anything else is a
// 404 page.
class Publisher {
 public:
  Publisher()
      : server_([this](const std::string& head) {
          std::lock_guard<std::mutex> lock(mutex_);
          auto it = files_.find(RequestPath(head));
          return it == files_.end() ? HttpAnswer(404, "<html>Not Found</html>") : HttpAnswer(200, it->second);
        }) {}

  void Put(const std::string& path, const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    files_[path] = bytes;
  }
  std::vector<std::string> RequestedPaths() const {
    std::vector<std::string> paths;
    for (const std::string& head : server_.Requests()) paths.push_back(RequestPath(head));
    return paths;
  }
  const LocalHttpServer& server() const { return server_; }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> files_;
  LocalHttpServer server_;
};

constexpr char kVersionPath[] = "/downloads/mobile/cupdate.dat";
constexpr char kCataloguePath[] = "/downloads/mobile/Channels.vdch";
constexpr char kApplicationPath[] = "/downloads/mobile/update.dat";

class UpdateServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ClearProxyEnvironment();
    folder_ = dir_.path() / "app";
    std::filesystem::create_directories(folder_);
    old_catalogue_ = DocumentBytes("1", true);
    WriteFile(CatalogueFile(), old_catalogue_);
    catalogue_.Load(CatalogueFile(), nullptr);
    ASSERT_EQ(catalogue_.Version(), "1");
  }

  std::filesystem::path CatalogueFile() const { return folder_ / "Channels.vdch"; }

  UpdateService MakeService() {
    return UpdateService(ui_, catalogue_, Jobs(), UpdateHosts{publisher_.server().Host16(), u"m.example.invalid:81"});
  }

  // A runner for the next service; jobs_ reaches it.
  std::unique_ptr<JobRunner> Jobs() {
    auto jobs = std::make_unique<ThreadJobRunner>();
    jobs_ = jobs.get();
    return jobs;
  }

  TempDir dir_;
  std::filesystem::path folder_;
  std::string old_catalogue_;
  ChannelCatalogue catalogue_;
  FakeUpdateUi ui_;
  Publisher publisher_;
  // The newest service's runner, owned by the service.
  ThreadJobRunner* jobs_ = nullptr;
};

TEST_F(UpdateServiceTest, NewerCatalogueReplacesTheFileAndReloads) {
  const std::string fresh = DocumentBytes("2", true);
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kCataloguePath, fresh);
  UpdateService service(ui_, catalogue_, Jobs(), UpdateHosts{publisher_.server().Host16(), u"site"});
  service.RunCatalogueUpdateCommand();

  EXPECT_EQ(ui_.kinds, std::vector<UpdateWaitKind>{UpdateWaitKind::kCatalogue});
  EXPECT_EQ(ui_.Titles(), (std::vector<std::string>{"str_check_updates", "str_down_channels"}));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_cupdated"});
  EXPECT_EQ(ui_.buttons, std::vector<MessageButtons>{MessageButtons::kOk});
  EXPECT_EQ(ui_.stops, 1);
  EXPECT_EQ(ReadFile(CatalogueFile()), fresh);
  EXPECT_EQ(catalogue_.Version(), "2");
  EXPECT_EQ(service.state().catalogue_update_result.load(), UpdateOutcome::kDone);
  EXPECT_EQ(publisher_.RequestedPaths(), (std::vector<std::string>{kVersionPath, kCataloguePath}));
  for (const std::string& head : publisher_.server().Requests()) {
    EXPECT_EQ(RequestLine(head).substr(RequestLine(head).size() - 8), "HTTP/1.1");
    const auto lines = HeaderLinesOf(head);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "User-Agent:Agent"), lines.end()) << head;
  }
  // No temporary file is left next to the catalogue.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
}

TEST_F(UpdateServiceTest, AScrambledCatalogueIsStoredAsDownloaded) {
  std::string scrambled = DocumentBytes("7", true);
  UnscrambleCatalogue(reinterpret_cast<uint8_t*>(scrambled.data()), static_cast<uint32_t>(scrambled.size()));
  publisher_.Put(kVersionPath, DocumentBytes("7"));
  publisher_.Put(kCataloguePath, scrambled);
  MakeService().RunCatalogueUpdateCommand();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_cupdated"});
  EXPECT_EQ(ReadFile(CatalogueFile()), scrambled);
  EXPECT_EQ(catalogue_.Version(), "7");
}

TEST_F(UpdateServiceTest, NothingNewerOrAnUnreadableDescriptionChangesNothing) {
  for (const std::string& description : {DocumentBytes("1"), DocumentBytes("0.9"), std::string("garbage"),
                                         std::string()}) {
    publisher_.Put(kVersionPath, description);
    MakeService().RunCatalogueUpdateCommand();
  }
  EXPECT_EQ(ui_.messages, std::vector<std::string>(4, "msg_noupdates"));
  EXPECT_EQ(ui_.Titles(), std::vector<std::string>(4, "str_check_updates"));
  EXPECT_EQ(publisher_.RequestedPaths(), std::vector<std::string>(4, kVersionPath));
  EXPECT_EQ(ui_.stops, 0);
  EXPECT_EQ(ReadFile(CatalogueFile()), old_catalogue_);
}

TEST_F(UpdateServiceTest, FailedOrDamagedDownloadsKeepTheOldFile) {
  // No cupdate.dat: the 404 page is no document, so nothing is newer.
  MakeService().RunCatalogueUpdateCommand();
  // Channels.vdch missing: the 404 page reads as no catalogue.
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  MakeService().RunCatalogueUpdateCommand();
  // A catalogue cut short.
  const std::string fresh = DocumentBytes("2", true);
  publisher_.Put(kCataloguePath, fresh.substr(0, fresh.size() - 3));
  MakeService().RunCatalogueUpdateCommand();
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{"msg_noupdates", "msg_error_connection", "msg_error_connection"}));
  EXPECT_EQ(ui_.stops, 0);
  EXPECT_EQ(ReadFile(CatalogueFile()), old_catalogue_);
  EXPECT_EQ(catalogue_.Version(), "1");
}

TEST_F(UpdateServiceTest, AnUnreachableServerIsAConnectionError) {
  UpdateService service(ui_, catalogue_, Jobs(), UpdateHosts{u"127.0.0.1:1", u"site"});
  service.RunCatalogueUpdateCommand();
  service.RunApplicationUpdateCommand();
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{"msg_error_connection", "msg_error_connection"}));
}

TEST_F(UpdateServiceTest, AnUnwritableCatalogueFileIsLeftAloneAndReportedAsAFailedSave) {
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kCataloguePath, DocumentBytes("2", true));
  std::vector<std::u16string> shown;
  SetMessageSink([&](const std::u16string& text, const std::u16string&) { shown.push_back(text); });
  // The catalogue's folder becomes a file: nothing can be created there,
  // root or not.
  std::filesystem::remove_all(folder_);
  WriteFile(folder_, "not a folder");
  UpdateService service = MakeService();
  service.RunCatalogueUpdateCommand();
  SetMessageSink({});
  // Not "no updates": the user learns which file failed and why.
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(service.state().catalogue_update_result.load(), UpdateOutcome::kSaveFailed);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find(Utf8ToUtf16(CatalogueFile().native())), std::u16string::npos);
  EXPECT_NE(shown[0].find(Utf8ToUtf16(std::generic_category().message(ENOTDIR))), std::u16string::npos);
  EXPECT_EQ(ui_.stops, 0);
  EXPECT_EQ(ReadFile(folder_), "not a folder");
  EXPECT_EQ(catalogue_.Version(), "1");
}

TEST_F(UpdateServiceTest, ADownloadGoesToTheDownloadFolderAndIsReadFromThereOn) {
  const std::string fresh = DocumentBytes("2", true);
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kCataloguePath, fresh);
  // Installed: the shipped catalogue is read-only, downloads go to a folder
  // that does not exist yet.
  const std::filesystem::path downloaded = dir_.path() / "data" / "vidora" / "Channels.vdch";
  catalogue_.set_download_path(downloaded);
  UpdateService service = MakeService();
  service.RunCatalogueUpdateCommand();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_cupdated"});
  EXPECT_EQ(ReadFile(downloaded), fresh);
  EXPECT_EQ(ReadFile(CatalogueFile()), old_catalogue_);
  EXPECT_EQ(catalogue_.Path(), downloaded);
  EXPECT_EQ(catalogue_.Version(), "2");
}

TEST_F(UpdateServiceTest, APendingCatalogueSkipsTheCheck) {
  publisher_.Put(kCataloguePath, DocumentBytes("3", true));
  UpdateService service = MakeService();
  service.state().catalogue_update_pending = true;
  service.RunCatalogueUpdateCommand();
  EXPECT_FALSE(service.state().catalogue_update_pending);
  EXPECT_EQ(publisher_.RequestedPaths(), std::vector<std::string>{kCataloguePath});
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_cupdated"});
  EXPECT_EQ(catalogue_.Version(), "3");
}

TEST_F(UpdateServiceTest, ApplicationCheckOffersTheMobileSite) {
  publisher_.Put(kApplicationPath, DocumentBytes("3.2.1"));
  UpdateService service = MakeService();
  service.RunApplicationUpdateCommand();
  EXPECT_EQ(ui_.kinds, std::vector<UpdateWaitKind>{UpdateWaitKind::kApplication});
  EXPECT_EQ(ui_.Titles(), std::vector<std::string>{"str_check_updates"});
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_update_available"});
  EXPECT_EQ(ui_.buttons, std::vector<MessageButtons>{MessageButtons::kYesNo});
  EXPECT_EQ(ui_.opened, std::vector<std::u16string>{u"http://m.example.invalid:81/" + CurrentLanguageCode() + u"/"});

  ui_.answer = MessageAnswer::kNo;
  service.RunApplicationUpdateCommand();
  EXPECT_EQ(ui_.opened.size(), 1u);
  EXPECT_EQ(publisher_.RequestedPaths(), std::vector<std::string>(2, kApplicationPath));
}

TEST_F(UpdateServiceTest, ApplicationCheckOutcomes) {
  publisher_.Put(kApplicationPath, DocumentBytes("3.2.0"));
  MakeService().RunApplicationUpdateCommand();
  publisher_.Put(kApplicationPath, "not a document");
  MakeService().RunApplicationUpdateCommand();
  publisher_.Put(kApplicationPath, "");
  MakeService().RunApplicationUpdateCommand();
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{"msg_noupdates", "msg_error_connection", "msg_error_connection"}));
  EXPECT_TRUE(ui_.opened.empty());
}

TEST_F(UpdateServiceTest, APendingApplicationUpdateAsksWithoutTheServer) {
  UpdateService service = MakeService();
  service.state().application_update_pending = true;
  service.RunApplicationUpdateCommand();
  service.RunApplicationUpdateCommand();
  EXPECT_TRUE(ui_.kinds.empty());
  EXPECT_EQ(ui_.messages, std::vector<std::string>(2, "msg_update_available"));
  EXPECT_EQ(ui_.opened.size(), 2u);
  EXPECT_TRUE(publisher_.RequestedPaths().empty());
}

TEST_F(UpdateServiceTest, AutomaticChecksArePromotedOncePerRun) {
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kApplicationPath, DocumentBytes("4"));
  UpdateService service = MakeService();
  // The findings meet a busy frame and wait for it.
  ui_.frame_active = false;
  service.StartAutomaticChecks(true, true);
  jobs_->Finish();
  EXPECT_TRUE(service.state().catalogue_update_pending);
  EXPECT_TRUE(service.state().application_update_pending);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.commands.empty());
  service.PromotePendingUpdates();
  EXPECT_TRUE(ui_.commands.empty());

  ui_.frame_active = true;
  service.PromotePendingUpdates();
  service.PromotePendingUpdates();
  EXPECT_EQ(ui_.commands, (std::vector<UpdateCommand>{UpdateCommand::kCatalogue, UpdateCommand::kApplication}));

  // An active frame gets a finding as soon as the check ends.
  ui_.commands.clear();
  UpdateService next = MakeService();
  next.StartAutomaticChecks(false, true);
  jobs_->Finish();
  EXPECT_EQ(ui_.commands, std::vector<UpdateCommand>{UpdateCommand::kApplication});
}

TEST_F(UpdateServiceTest, AutomaticChecksStayQuietAndCanBeSwitchedOff) {
  {
    UpdateService service = MakeService();
    service.StartAutomaticChecks(false, false);
    jobs_->Finish();
  }
  EXPECT_TRUE(publisher_.RequestedPaths().empty());

  // Nothing on the server: both checks fail without a word.
  UpdateService service = MakeService();
  service.StartAutomaticChecks(true, true);
  jobs_->Finish();
  EXPECT_FALSE(service.state().catalogue_update_pending);
  EXPECT_FALSE(service.state().application_update_pending);
  service.PromotePendingUpdates();
  EXPECT_TRUE(ui_.commands.empty());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(publisher_.RequestedPaths().size(), 2u);
}

TEST_F(UpdateServiceTest, ShutdownCancelsAHangingCheck) {
  LocalHttpServer silent([](const std::string&) { return std::nullopt; });
  UpdateService service(ui_, catalogue_, Jobs(), UpdateHosts{silent.Host16(), u"site"});
  service.StartAutomaticChecks(true, false);
  service.CancelTransfers();
  jobs_->Finish();
  EXPECT_FALSE(service.state().catalogue_update_pending);
  EXPECT_EQ(service.state().catalogue_update_result.load(), UpdateOutcome::kError);
}

}  // namespace
}  // namespace vidora

namespace vidora {
namespace {

// A catalogue document with `count` channels that lack category and
// address.
std::string BrokenCatalogueBytes(const std::string& root_name, int count) {
  DocNode root(root_name);
  DocNode* country = root.AddChild("xx");
  for (int i = 0; i < count; ++i) country->AddChild("c" + std::to_string(i))->SetWideString("n", u"n");
  MemoryStream stream;
  WriteDocument(root, stream);
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.size());
}

TEST_F(UpdateServiceTest, ADownloadWithChannelsTheLoaderWouldWarnAboutIsRefused) {
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kCataloguePath, BrokenCatalogueBytes("2", 2000));
  MakeService().RunCatalogueUpdateCommand();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_error_connection"});
  EXPECT_EQ(ReadFile(CatalogueFile()), old_catalogue_);
  EXPECT_EQ(catalogue_.Version(), "1");
}

TEST_F(UpdateServiceTest, ACancelledWaitDialogWritesAndShowsNothing) {
  publisher_.Put(kVersionPath, DocumentBytes("2"));
  publisher_.Put(kCataloguePath, DocumentBytes("2", true));
  publisher_.Put(kApplicationPath, DocumentBytes("9"));
  ui_.cancel_at_start = true;
  UpdateService service = MakeService();
  service.RunCatalogueUpdateCommand();
  service.RunApplicationUpdateCommand();
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.opened.empty());
  EXPECT_EQ(ReadFile(CatalogueFile()), old_catalogue_);
  EXPECT_EQ(catalogue_.Version(), "1");
  // The next command is not cancelled by the last one.
  ui_.cancel_at_start = false;
  service.RunCatalogueUpdateCommand();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"msg_cupdated"});
}

}  // namespace
}  // namespace vidora
