// qdoc: builds and inspects the player's data files.
//   qdoc dump [--catalogue] FILE       document as JSON on standard output
//   qdoc build JSON_FILE OUT_FILE      JSON form to a document file
//   qdoc scramble IN_FILE OUT_FILE     applies the catalogue key stream
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/atomic_file.h"
#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"
#include "json_document.h"

namespace {

using vidora::DocNode;

int Usage() {
  std::fputs(
      "usage: qdoc dump [--catalogue] FILE\n"
      "       qdoc build JSON_FILE OUT_FILE\n"
      "       qdoc scramble IN_FILE OUT_FILE\n"
      "\n"
      "dump      prints the document as JSON; --catalogue also reads scrambled catalogues\n"
      "build     writes the document described by the JSON file\n"
      "scramble  scrambles (or unscrambles) a catalogue file\n",
      stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "qdoc: %s\n", message.c_str());
  return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int Dump(const std::string& path, bool catalogue) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return Fail("cannot read " + path);
  if (bytes.size() > UINT32_MAX) return Fail(path + " is too large");
  DocNode root;
  vidora::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  bool ok = vidora::ReadDocument(root, stream) == vidora::ReadStatus::kOk;
  // Trailing bytes after the root node mean the file is not what it seems.
  ok = ok && stream.Position() == stream.Size();
  if (!ok && catalogue) {
    vidora::UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
    vidora::MemoryStream plain(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ok = vidora::ReadDocument(root, plain) == vidora::ReadStatus::kOk && plain.Position() == plain.Size();
  }
  if (!ok) return Fail(path + " is not a valid document");
  std::cout << vidora::DocumentToJson(root).dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
            << "\n";
  return 0;
}

int Build(const std::string& json_path, const std::string& out_path) {
  std::ifstream in(json_path);
  if (!in) return Fail("cannot read " + json_path);
  nlohmann::ordered_json json = nlohmann::ordered_json::parse(in, nullptr, false);
  if (json.is_discarded()) return Fail(json_path + " is not valid JSON");
  DocNode root;
  std::string error;
  if (!vidora::JsonToDocument(json, root, error)) return Fail(json_path + ": " + error);
  if (!vidora::SaveDocumentFileAtomically(root, out_path)) return Fail("cannot write " + out_path);
  return 0;
}

int Scramble(const std::string& in_path, const std::string& out_path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(in_path, bytes)) return Fail("cannot read " + in_path);
  if (bytes.size() > UINT32_MAX) return Fail(in_path + " is too large");
  vidora::UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
  if (!vidora::SaveBytesAtomically(bytes.data(), static_cast<uint32_t>(bytes.size()), out_path)) {
    return Fail("cannot write " + out_path);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    Usage();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "dump") {
    if (args.size() == 2) return Dump(args[1], false);
    if (args.size() == 3 && args[1] == "--catalogue") return Dump(args[2], true);
  } else if (args[0] == "build" && args.size() == 3) {
    return Build(args[1], args[2]);
  } else if (args[0] == "scramble" && args.size() == 3) {
    return Scramble(args[1], args[2]);
  }
  return Usage();
}
