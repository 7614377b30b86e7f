#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

using testing::TempDir;

struct ToolRun {
  int exit_code = -1;
  std::string out;
};

ToolRun Qdoc(const std::string& args) {
  ToolRun run;
  const std::string command = std::string(VIDORA_QDOC_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

constexpr char kEveryType[] = R"({"name": "1.0.0", "attributes": [
  {"name": "p", "type": "plain", "value": 4294967295},
  {"name": "i", "type": "int", "value": -7},
  {"name": "b", "type": "bool", "value": true},
  {"name": "w3", "type": "word3", "value": 3},
  {"name": "w4", "type": "word4", "value": 4},
  {"name": "v", "type": "value64", "value": "0102030405060708"},
  {"name": "s", "type": "string", "value": "narrow"},
  {"name": "ws", "type": "wstring", "value": "Fernsehen \u00fc \ud83d\udcfa"},
  {"name": "bin", "type": "binary", "value": "AAEC/w=="},
  {"name": "odd", "type": 200}],
  "children": [{"name": "de", "attributes": [], "children": [
    {"name": "one", "attributes": [{"name": "n", "type": "wstring", "value": "Eins"}], "children": []}]}]})";

TEST(QdocToolTest, BuildDumpBuildReproducesTheFile) {
  TempDir dir;
  WriteAll(dir / "in.json", kEveryType);
  ASSERT_EQ(Qdoc("build " + (dir / "in.json").string() + " " + (dir / "a.qdoc").string()).exit_code, 0);
  const ToolRun dump = Qdoc("dump " + (dir / "a.qdoc").string());
  ASSERT_EQ(dump.exit_code, 0);
  EXPECT_NE(dump.out.find("\"wstring\""), std::string::npos);
  EXPECT_NE(dump.out.find("AAEC/w=="), std::string::npos);
  WriteAll(dir / "again.json", dump.out);
  ASSERT_EQ(Qdoc("build " + (dir / "again.json").string() + " " + (dir / "b.qdoc").string()).exit_code, 0);
  EXPECT_EQ(ReadAll(dir / "a.qdoc"), ReadAll(dir / "b.qdoc"));
}

TEST(QdocToolTest, BadInputFailsWithoutWriting) {
  TempDir dir;
  const auto out = (dir / "out.qdoc").string();
  for (const char* json : {"{not json", R"({"attributes": []})",
                           R"({"name": "r", "attributes": [{"name": "i", "type": "int", "value": 4294967296}]})",
                           R"({"name": "r", "attributes": [{"name": "i", "type": "int",
                                                           "value": 18446744073709551615}]})",
                           R"({"name": "r", "attributes": [{"name": "x", "type": "nosuch", "value": 1}]})",
                           R"({"name": "r", "attributes": [{"name": "x", "type": 8}]})",
                           R"({"name": "r", "attributes": [{"name": "v", "type": "value64", "value": "12"}]})",
                           R"({"name": "r", "attributes": [{"name": "b", "type": "binary", "value": "@@@@"}]})",
                           // A second equal name would be dropped by every reader.
                           R"({"name": "r", "attributes": [{"name": "a", "type": "int", "value": 1},
                                                           {"name": "a", "type": "int", "value": 2}]})",
                           R"({"name": "r", "children": [{"name": "c"}, {"name": "c"}]})"}) {
    WriteAll(dir / "bad.json", json);
    EXPECT_EQ(Qdoc("build " + (dir / "bad.json").string() + " " + out).exit_code, 1) << json;
    EXPECT_FALSE(std::filesystem::exists(out)) << json;
  }
  WriteAll(dir / "junk.qdoc", "QDOC\x05" "ab");
  EXPECT_EQ(Qdoc("dump " + (dir / "junk.qdoc").string()).exit_code, 1);
  EXPECT_EQ(Qdoc("dump " + (dir / "missing.qdoc").string()).exit_code, 1);
}

TEST(QdocToolTest, ScrambledCataloguesDumpLikePlainOnes) {
  TempDir dir;
  WriteAll(dir / "in.json", kEveryType);
  ASSERT_EQ(Qdoc("build " + (dir / "in.json").string() + " " + (dir / "plain.vdch").string()).exit_code, 0);
  ASSERT_EQ(Qdoc("scramble " + (dir / "plain.vdch").string() + " " + (dir / "s.vdch").string()).exit_code, 0);
  EXPECT_NE(ReadAll(dir / "plain.vdch"), ReadAll(dir / "s.vdch"));
  EXPECT_EQ(Qdoc("dump " + (dir / "s.vdch").string()).exit_code, 1);
  const ToolRun plain = Qdoc("dump " + (dir / "plain.vdch").string());
  const ToolRun unscrambled = Qdoc("dump --catalogue " + (dir / "s.vdch").string());
  ASSERT_EQ(unscrambled.exit_code, 0);
  EXPECT_EQ(plain.out, unscrambled.out);
  ASSERT_EQ(Qdoc("scramble " + (dir / "s.vdch").string() + " " + (dir / "back.vdch").string()).exit_code, 0);
  EXPECT_EQ(ReadAll(dir / "plain.vdch"), ReadAll(dir / "back.vdch"));
}

}  // namespace
}  // namespace vidora
