#include "core/playlists/xmltv_reader.h"

#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/document/text_codec.h"

namespace vidora {
namespace {

constexpr size_t kMaxText = 4096;
constexpr size_t kPiece = 64 * 1024;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool Digits(std::string_view text, size_t at, size_t count, int64_t& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

const char* FindAttr(const XML_Char** attrs, const char* name) {
  for (size_t i = 0; attrs[i] != nullptr; i += 2) {
    if (std::strcmp(attrs[i], name) == 0) return attrs[i + 1];
  }
  return nullptr;
}

std::string LowerName(std::string_view name) {
  // The request's names are made with GuideKey's folding.
  return GuideKey({}, name).substr(5);
}

}  // namespace

bool ParseXmltvTime(std::string_view text, int64_t& seconds) {
  int64_t y, mo, d, h = 0, mi = 0, s = 0;
  if (!Digits(text, 0, 4, y) || !Digits(text, 4, 2, mo) || !Digits(text, 6, 2, d)) return false;
  size_t at = 8;
  if (Digits(text, 8, 2, h) && Digits(text, 10, 2, mi)) {
    at = 12;
    if (Digits(text, 12, 2, s)) at = 14;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return false;
  int64_t offset = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    int64_t oh, om;
    if (!Digits(text, at + 1, 2, oh) || !Digits(text, at + 3, 2, om)) return false;
    offset = (oh * 60 + om) * 60 * (text[at] == '-' ? -1 : 1);
  }
  seconds = DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s - offset;
  return true;
}

struct XmltvReader::State {
  const GuideRequest& request;
  ProgrammeGuide& guide;
  XML_Parser parser = nullptr;
  bool broken = false;

  // xmltv channel id -> guide keys it feeds.
  std::unordered_map<std::string, std::vector<std::string>> channel_keys;
  std::string channel_id;   // inside <channel>
  bool in_channel = false;
  bool in_display_name = false;
  bool in_programme = false;
  bool in_title = false;
  bool have_title = false;
  std::vector<std::string> programme_keys;
  Programme programme;
  std::string text;

  State(const GuideRequest& r, ProgrammeGuide& g) : request(r), guide(g) {}

  const std::vector<std::string>* KeysFor(const std::string& id) {
    auto it = channel_keys.find(id);
    if (it != channel_keys.end()) return &it->second;
    if (request.ids.count(id) == 0) return nullptr;
    // A programme of a wanted id whose <channel> element was not seen.
    return &(channel_keys[id] = {"id:" + id});
  }

  void Start(const char* name, const XML_Char** attrs) {
    if (std::strcmp(name, "channel") == 0 && !in_programme) {
      const char* id = FindAttr(attrs, "id");
      in_channel = id != nullptr;
      channel_id = id != nullptr ? id : "";
      if (in_channel && request.ids.count(channel_id) != 0) {
        auto& keys = channel_keys[channel_id];
        const std::string key = "id:" + channel_id;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
      }
    } else if (std::strcmp(name, "display-name") == 0 && in_channel) {
      in_display_name = true;
      text.clear();
    } else if (std::strcmp(name, "programme") == 0) {
      in_programme = false;
      const char* channel = FindAttr(attrs, "channel");
      const char* start = FindAttr(attrs, "start");
      const char* stop = FindAttr(attrs, "stop");
      if (channel == nullptr || start == nullptr) return;
      const std::vector<std::string>* keys = KeysFor(channel);
      if (keys == nullptr || keys->empty()) return;
      Programme p;
      if (!ParseXmltvTime(start, p.start)) return;
      if (stop == nullptr || !ParseXmltvTime(stop, p.stop) || p.stop <= p.start) p.stop = p.start + 1;
      if (p.stop <= request.from || p.start >= request.to) return;
      in_programme = true;
      have_title = false;
      programme_keys = *keys;
      programme = std::move(p);
    } else if (std::strcmp(name, "title") == 0 && in_programme && !have_title) {
      in_title = true;
      text.clear();
    }
  }

  void End(const char* name) {
    if (std::strcmp(name, "display-name") == 0 && in_display_name) {
      in_display_name = false;
      auto it = request.names.find(LowerName(text));
      if (it != request.names.end()) {
        auto& keys = channel_keys[channel_id];
        if (std::find(keys.begin(), keys.end(), it->second) == keys.end()) keys.push_back(it->second);
      }
    } else if (std::strcmp(name, "channel") == 0 && !in_programme) {
      in_channel = false;
    } else if (std::strcmp(name, "title") == 0 && in_title) {
      in_title = false;
      have_title = true;
      programme.title = Utf8ToUtf16(text);
    } else if (std::strcmp(name, "programme") == 0 && in_programme) {
      in_programme = false;
      for (size_t i = 0; i < programme_keys.size(); ++i) {
        if (i + 1 == programme_keys.size()) {
          guide.Add(programme_keys[i], std::move(programme));
        } else {
          guide.Add(programme_keys[i], programme);
        }
      }
    }
  }

  void Text(const char* bytes, int count) {
    if (!in_display_name && !in_title) return;
    const size_t room = kMaxText - std::min(kMaxText, text.size());
    text.append(bytes, std::min(room, static_cast<size_t>(count)));
  }
};

XmltvReader::XmltvReader(const GuideRequest& request, ProgrammeGuide& guide)
    : state_(std::make_unique<State>(request, guide)) {
  state_->parser = XML_ParserCreate("UTF-8");
  if (state_->parser == nullptr) {
    state_->broken = true;
    error_ = "no memory for the XML parser";
    return;
  }
  XML_SetUserData(state_->parser, state_.get());
  XML_SetElementHandler(
      state_->parser,
      [](void* data, const XML_Char* name, const XML_Char** attrs) { static_cast<State*>(data)->Start(name, attrs); },
      [](void* data, const XML_Char* name) { static_cast<State*>(data)->End(name); });
  XML_SetCharacterDataHandler(state_->parser, [](void* data, const XML_Char* s, int len) {
    static_cast<State*>(data)->Text(s, len);
  });
}

XmltvReader::~XmltvReader() {
  if (state_->parser != nullptr) XML_ParserFree(state_->parser);
}

bool XmltvReader::Feed(const char* bytes, size_t count, bool last) {
  if (state_->broken) return false;
  do {
    const int piece = static_cast<int>(std::min(count, kPiece));
    const bool final_piece = last && static_cast<size_t>(piece) == count;
    if (XML_Parse(state_->parser, bytes, piece, final_piece ? 1 : 0) != XML_STATUS_OK) {
      state_->broken = true;
      error_ = std::string(XML_ErrorString(XML_GetErrorCode(state_->parser))) + " at line " +
               std::to_string(XML_GetCurrentLineNumber(state_->parser));
      return false;
    }
    bytes += piece;
    count -= static_cast<size_t>(piece);
  } while (count > 0);
  return true;
}

bool ReadXmltvFile(const std::filesystem::path& path, const GuideRequest& request, ProgrammeGuide& guide,
                   std::string* error) {
  // gzread reads plain files as they are and inflates gzip ones.
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot open " + path.string();
    return false;
  }
  gzbuffer(file, kPiece);
  XmltvReader reader(request, guide);
  std::vector<char> buffer(kPiece);
  bool ok = true;
  while (true) {
    const int n = gzread(file, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n < 0) {
      ok = false;
      if (error != nullptr) *error = "damaged compressed data";
      break;
    }
    if (!reader.Feed(buffer.data(), static_cast<size_t>(n), n == 0)) {
      ok = false;
      if (error != nullptr) *error = reader.error();
      break;
    }
    if (n == 0) break;
  }
  gzclose(file);
  guide.Finish();
  return ok;
}

bool ReadXmltvBytes(std::string_view bytes, const GuideRequest& request, ProgrammeGuide& guide, std::string* error) {
  XmltvReader reader(request, guide);
  bool ok = true;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F && static_cast<unsigned char>(bytes[1]) == 0x8B) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(std::min<size_t>(bytes.size(), UINT32_MAX));
    std::vector<char> out(kPiece);
    while (ok) {
      stream.next_out = reinterpret_cast<Bytef*>(out.data());
      stream.avail_out = static_cast<uInt>(out.size());
      const int status = inflate(&stream, Z_NO_FLUSH);
      const size_t produced = out.size() - stream.avail_out;
      const bool end = status == Z_STREAM_END;
      if (status != Z_OK && !end) {
        ok = false;
        if (error != nullptr) *error = "damaged compressed data";
        break;
      }
      if (!reader.Feed(out.data(), produced, end)) {
        ok = false;
        if (error != nullptr) *error = reader.error();
      }
      if (end) break;
      if (produced == 0 && stream.avail_in == 0) {
        ok = false;  // truncated
        if (error != nullptr) *error = "truncated compressed data";
        break;
      }
    }
    inflateEnd(&stream);
  } else if (!reader.Feed(bytes.data(), bytes.size(), true)) {
    ok = false;
    if (error != nullptr) *error = reader.error();
  }
  guide.Finish();
  return ok;
}

}  // namespace vidora
