#ifndef VIDORA_TESTS_UI_SHELL_SHELL_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_SHELL_SHELL_TEST_SUPPORT_H_

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/stores/language_pack.h"

namespace vidora::testing {

struct TestLanguage {
  std::u16string name;
  std::u16string code;
  std::map<std::string, std::u16string> texts;
};

// Writes a language pack with `languages` in that order to `path` and
// makes it the process-wide pack with `current` as the current language.
inline void InstallLanguages(const std::filesystem::path& path, const std::vector<TestLanguage>& languages,
                             std::u16string_view current) {
  DocNode root;
  root.set_name(kLanguagePackRootName);
  for (size_t i = 0; i < languages.size(); ++i) {
    DocNode* language = root.AddChild("lang_" + std::to_string(i));
    language->SetWideString("language", languages[i].name);
    language->SetWideString("ext", languages[i].code);
    for (const auto& [key, text] : languages[i].texts) language->AddChild(key)->SetWideString("text", text);
  }
  SaveDocumentFile(root, path);
  Languages().Load(path, current);
}

// Answers modal windows while a test runs a modal loop: every message box
// is recorded by its text and answered (Yes when `answer_yes`, else No;
// OK boxes just close); any other modal window goes to `on_dialog` (which
// should end it).
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<void(QWidget*)> on_dialog = {}) : on_dialog_(std::move(on_dialog)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start(5);
  }
  const std::vector<QString>& messages() const { return messages_; }
  bool answer_yes = false;

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    // A property, not the address: the next box may reuse the same memory.
    if (modal == nullptr || modal->property("vidora_answered").toBool()) return;
    modal->setProperty("vidora_answered", true);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      messages_.push_back(box->text());
      const int answer = answer_yes ? QMessageBox::Yes : QMessageBox::No;
      QTimer::singleShot(0, box, [box, answer] { box->done(answer); });
      return;
    }
    if (on_dialog_) on_dialog_(modal);
  }

  std::function<void(QWidget*)> on_dialog_;
  QTimer timer_;
  std::vector<QString> messages_;
};

// Runs the event loop until `done` or a generous deadline.
inline bool ProcessUntil(const std::function<bool()>& done, int timeout_ms = 10000) {
  QDeadlineTimer deadline(timeout_ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_SHELL_SHELL_TEST_SUPPORT_H_
