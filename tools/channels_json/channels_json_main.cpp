// channels_json: turns the readable channel list (data/channels.json) into
// the JSON form `qdoc build` compiles into a catalogue file.
//
//   channels_json IN_JSON OUT_JSON
//
// Readable form:
//   {"version": "1.0.0",
//    "countries": {"de": {"<channel>": {"n": "Name", "p": "text", "c": "n",
//                                       "g": "provider", "r": true,
//                                       "sources": [{"b": 128, "u": "http://..."}]}}}}
// "g" and "r" are optional. Every channel needs a name, one of the ten
// category keys and at least one source with an address, so a typo fails
// the build instead of shipping a warning to every user.
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<const char*, 10> kCategories = {"l", "mu", "n", "r", "sp", "e", "mo", "k", "wc", "ad"};

int Fail(const std::string& message) {
  std::fprintf(stderr, "channels_json: %s\n", message.c_str());
  return 1;
}

Json Attribute(const std::string& name, const char* type, Json value) {
  return Json{{"name", name}, {"type", type}, {"value", std::move(value)}};
}

bool IsText(const Json& object, const char* field) {
  return object.contains(field) && object[field].is_string() && !object[field].get<std::string>().empty();
}

bool KnownCategory(const std::string& key) {
  for (const char* category : kCategories) {
    if (key == category) return true;
  }
  return false;
}

// Fills `out` with the qdoc form of one channel; returns an error or "".
std::string ConvertChannel(const std::string& where, const Json& channel, Json& out) {
  if (!channel.is_object()) return where + ": a channel must be an object";
  if (!IsText(channel, "n")) return where + ": \"n\" (name) is missing";
  if (!IsText(channel, "p")) return where + ": \"p\" is missing";
  if (!IsText(channel, "c") || !KnownCategory(channel["c"].get<std::string>())) {
    return where + ": \"c\" must be one of the ten category keys";
  }
  Json attributes = Json::array();
  attributes.push_back(Attribute("n", "wstring", channel["n"]));
  attributes.push_back(Attribute("p", "string", channel["p"]));
  if (channel.contains("g")) {
    if (!channel["g"].is_string()) return where + ": \"g\" must be text";
    attributes.push_back(Attribute("g", "string", channel["g"]));
  }
  if (channel.contains("r")) {
    if (!channel["r"].is_boolean()) return where + ": \"r\" must be true or false";
    attributes.push_back(Attribute("r", "bool", channel["r"]));
  }
  attributes.push_back(Attribute("c", "string", channel["c"]));

  if (!channel.contains("sources") || !channel["sources"].is_array() || channel["sources"].empty()) {
    return where + ": \"sources\" must list at least one source";
  }
  Json children = Json::array();
  int index = 0;
  for (const Json& source : channel["sources"]) {
    const std::string at = where + " source " + std::to_string(index);
    if (!source.is_object() || !IsText(source, "u")) return at + ": \"u\" (address) is missing";
    if (!source.contains("b") || !source["b"].is_number_integer()) return at + ": \"b\" must be a number";
    children.push_back(Json{{"name", std::to_string(index)},
                            {"attributes", Json::array({Attribute("b", "int", source["b"]),
                                                        Attribute("u", "wstring", source["u"])})}});
    ++index;
  }
  out = Json{{"name", ""}, {"attributes", std::move(attributes)}, {"children", std::move(children)}};
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: channels_json IN_JSON OUT_JSON\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) return Fail(std::string("cannot read ") + argv[1]);
  const Json source = Json::parse(in, nullptr, false);
  if (source.is_discarded()) return Fail(std::string(argv[1]) + " is not valid JSON");
  if (!IsText(source, "version")) return Fail("\"version\" is missing");
  if (!source.contains("countries") || !source["countries"].is_object()) return Fail("\"countries\" is missing");

  Json countries = Json::array();
  for (const auto& [country_key, channels] : source["countries"].items()) {
    if (!channels.is_object()) return Fail("country " + country_key + " must be an object");
    Json country_children = Json::array();
    for (const auto& [channel_key, channel] : channels.items()) {
      Json node;
      const std::string error = ConvertChannel(country_key + "_" + channel_key, channel, node);
      if (!error.empty()) return Fail(error);
      node["name"] = channel_key;
      country_children.push_back(std::move(node));
    }
    countries.push_back(Json{{"name", country_key}, {"children", std::move(country_children)}});
  }
  const Json document{{"name", source["version"]}, {"children", std::move(countries)}};

  std::ofstream out(argv[2], std::ios::trunc);
  out << document.dump(1) << "\n";
  if (!out) return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
