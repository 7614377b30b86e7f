// langpack: compiles the readable language sources into the language pack.
//   langpack OUT_FILE LANGUAGE_JSON...
// Each source is {"language": NAME, "ext": CODE, "texts": {KEY: TEXT, ...}};
// the sources become lang_0, lang_1, ... in the order given, each holding
// "language", "ext" and one child per key with the WideString "text".
#include <cstdio>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/stores/language_pack.h"

namespace {

using nlohmann::ordered_json;
using vidora::DocNode;

int Fail(const std::string& message) {
  std::fprintf(stderr, "langpack: %s\n", message.c_str());
  return 1;
}

bool NonEmptyString(const ordered_json& json, const char* name) {
  return json.contains(name) && json[name].is_string() && !json[name].get<std::string>().empty();
}

// Adds the language of `source` as child `index` of `root`; false with
// `error` set when the source is malformed.
bool AddLanguage(const std::string& source, int index, DocNode& root, std::string& error) {
  std::ifstream in(source);
  if (!in) {
    error = "cannot read " + source;
    return false;
  }
  const ordered_json json = ordered_json::parse(in, nullptr, false);
  if (json.is_discarded() || !json.is_object()) {
    error = source + ": not a JSON object";
    return false;
  }
  if (!NonEmptyString(json, "language") || !NonEmptyString(json, "ext")) {
    error = source + ": \"language\" and \"ext\" must be non-empty strings";
    return false;
  }
  if (!json.contains("texts") || !json["texts"].is_object()) {
    error = source + ": \"texts\" must be an object";
    return false;
  }
  DocNode* language = root.AddChild("lang_" + std::to_string(index));
  language->SetWideString("language", vidora::Utf8ToUtf16(json["language"].get<std::string>()));
  language->SetWideString("ext", vidora::Utf8ToUtf16(json["ext"].get<std::string>()));
  for (const auto& [key, text] : json["texts"].items()) {
    if (!text.is_string()) {
      error = source + ": text of \"" + key + "\" is not a string";
      return false;
    }
    DocNode* entry = language->AddChild(key);
    if (entry == nullptr) {
      error = source + ": key \"" + key + "\" appears twice";
      return false;
    }
    entry->SetWideString("text", vidora::Utf8ToUtf16(text.get<std::string>()));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: langpack OUT_FILE LANGUAGE_JSON...\n", stderr);
    return 2;
  }
  DocNode root(vidora::kLanguagePackRootName);
  for (int i = 2; i < argc; ++i) {
    std::string error;
    if (!AddLanguage(argv[i], i - 2, root, error)) return Fail(error);
  }
  if (!vidora::SaveDocumentFileAtomically(root, argv[1])) return Fail(std::string("cannot write ") + argv[1]);
  return 0;
}
