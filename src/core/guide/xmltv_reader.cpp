#include "core/guide/xmltv_reader.h"

#include <expat.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace vidora {
namespace {

constexpr size_t kMaxText = 4096;
constexpr size_t kMaxCategories = 4;
constexpr size_t kPiece = 256 * 1024;
constexpr int64_t kOpenLength = 3600;  // a last programme without a stop
// Real XMLTV packs ten- to thirty-fold; beyond this a file is a bomb.
constexpr uint64_t kMaxInflateRatio = 100;
constexpr uint64_t kMinInflateAllowance = 64ull << 20;

const char* FindAttr(const XML_Char** attrs, const char* name) {
  for (size_t i = 0; attrs[i] != nullptr; i += 2) {
    if (std::strcmp(attrs[i], name) == 0) return attrs[i + 1];
  }
  return nullptr;
}

// "1.4.0/2" (zero-based season, episode, part) as "S2 E5".
std::string EpisodeFromXmltvNs(std::string_view text) {
  std::string result;
  const char* labels[] = {"S", "E", "P"};
  size_t part = 0, at = 0;
  while (part < 3 && at <= text.size()) {
    size_t end = text.find('.', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view field = text.substr(at, end - at);
    field = field.substr(0, field.find('/'));
    int64_t value = 0;
    bool digits = false;
    for (char c : field) {
      if (c >= '0' && c <= '9' && value < 100000) {
        value = value * 10 + (c - '0');
        digits = true;
      }
    }
    if (digits) {
      if (!result.empty()) result += ' ';
      result += labels[part] + std::to_string(value + 1);
    }
    ++part;
    at = end + 1;
  }
  return result;
}

enum class Target { kNone, kDisplayName, kTitle, kSubTitle, kDescription, kCategory, kEpisodeNs, kEpisodeOnscreen, kRating };

}  // namespace

struct XmltvReader::State {
  GuideStore& store;
  int64_t from;
  int64_t to;
  XML_Parser parser = nullptr;
  bool broken = false;
  std::string refusal;  // why the parser was stopped by a handler
  size_t added = 0;

  int32_t channel = -1;  // inside <channel>
  bool in_programme = false;
  bool in_rating = false;
  Target target = Target::kNone;
  int nested = 0;  // elements opened inside the text being collected
  std::string text;

  int32_t programme_channel = -1;
  ProgrammeRecord record;
  bool has_stop = false;
  std::string title, sub_title, description, episode_ns, episode_onscreen, rating, icon, catchup_id;
  std::vector<std::string> categories;

  // Programmes that came without a stop, one per channel, waiting for the
  // channel's next start.
  std::vector<std::optional<ProgrammeRecord>> open;
  std::string last_id;
  int32_t last_index = -1;

  State(GuideStore& s, int64_t now)
      : store(s), from(now - kGuideDaysBack * 86400), to(now + kGuideDaysAhead * 86400) {}

  int32_t ChannelOf(const char* id) {
    if (last_index >= 0 && last_id == id) return last_index;
    last_index = store.AddChannel(id);
    last_id = id;
    return last_index;
  }

  void Keep(int32_t index, const ProgrammeRecord& r) {
    if (r.stop <= from || r.start >= to) return;
    if (store.AddProgramme(index, r)) ++added;
  }

  void CloseOpen(int32_t index, int64_t next_start) {
    if (index < 0 || static_cast<size_t>(index) >= open.size() || !open[static_cast<size_t>(index)]) return;
    ProgrammeRecord r = *open[static_cast<size_t>(index)];
    open[static_cast<size_t>(index)].reset();
    r.stop = next_start > r.start && next_start - r.start <= 86400 ? next_start : r.start + kOpenLength;
    Keep(index, r);
  }

  void FlushOpen() {
    for (size_t i = 0; i < open.size(); ++i) CloseOpen(static_cast<int32_t>(i), 0);
  }

  void Collect(Target t) {
    target = t;
    nested = 0;
    text.clear();
  }

  void Start(const char* name, const XML_Char** attrs) {
    // Markup inside a title or name is part of its text, never a new
    // channel or programme: a <channel> there must not change whose name
    // is being read.
    if (target != Target::kNone) {
      ++nested;
      return;
    }
    if (in_programme) {
      if (std::strcmp(name, "title") == 0) {
        if (title.empty()) Collect(Target::kTitle);
      } else if (std::strcmp(name, "sub-title") == 0) {
        if (sub_title.empty()) Collect(Target::kSubTitle);
      } else if (std::strcmp(name, "desc") == 0) {
        if (description.empty()) Collect(Target::kDescription);
      } else if (std::strcmp(name, "category") == 0) {
        if (categories.size() < kMaxCategories) Collect(Target::kCategory);
      } else if (std::strcmp(name, "episode-num") == 0) {
        const char* system = FindAttr(attrs, "system");
        if (system != nullptr && std::strcmp(system, "xmltv_ns") == 0) Collect(Target::kEpisodeNs);
        else if (system != nullptr && std::strcmp(system, "onscreen") == 0) Collect(Target::kEpisodeOnscreen);
      } else if (std::strcmp(name, "rating") == 0) {
        in_rating = true;
      } else if (std::strcmp(name, "value") == 0 && in_rating) {
        if (rating.empty()) Collect(Target::kRating);
      } else if (std::strcmp(name, "icon") == 0) {
        const char* src = FindAttr(attrs, "src");
        if (src != nullptr && icon.empty()) icon = std::string(src).substr(0, kMaxText);
      }
      return;
    }
    if (std::strcmp(name, "programme") == 0) {
      const char* id = FindAttr(attrs, "channel");
      const char* start = FindAttr(attrs, "start");
      if (id == nullptr || start == nullptr || *id == '\0') return;
      ProgrammeRecord r;
      if (!ParseXmltvTime(start, r.start)) return;
      const char* stop = FindAttr(attrs, "stop");
      has_stop = stop != nullptr && ParseXmltvTime(stop, r.stop);
      // Reversed or empty times are dropped; no stop waits for the next start.
      if (has_stop && r.stop <= r.start) return;
      programme_channel = ChannelOf(id);
      if (programme_channel < 0) return;
      CloseOpen(programme_channel, r.start);
      in_programme = true;
      record = r;
      title.clear(), sub_title.clear(), description.clear(), episode_ns.clear(), episode_onscreen.clear();
      rating.clear(), icon.clear(), categories.clear();
      const char* catchup = FindAttr(attrs, "catchup-id");
      catchup_id = catchup != nullptr ? std::string(catchup).substr(0, kMaxText) : std::string();
    } else if (std::strcmp(name, "channel") == 0) {
      const char* id = FindAttr(attrs, "id");
      channel = id != nullptr && *id != '\0' ? ChannelOf(id) : -1;
    } else if (channel >= 0 && std::strcmp(name, "display-name") == 0) {
      Collect(Target::kDisplayName);
    } else if (channel >= 0 && std::strcmp(name, "icon") == 0) {
      if (const char* src = FindAttr(attrs, "src")) store.SetChannelIcon(channel, std::string_view(src).substr(0, kMaxText));
    }
  }

  void End(const char* name) {
    if (target != Target::kNone && nested > 0) {
      --nested;
      return;
    }
    if (target != Target::kNone) {
      switch (target) {
        case Target::kDisplayName: store.AddDisplayName(channel, text); break;
        case Target::kTitle: title = text; break;
        case Target::kSubTitle: sub_title = text; break;
        case Target::kDescription: description = text; break;
        case Target::kCategory: if (!text.empty()) categories.push_back(text); break;
        case Target::kEpisodeNs: episode_ns = text; break;
        case Target::kEpisodeOnscreen: episode_onscreen = text; break;
        case Target::kRating: rating = text; break;
        case Target::kNone: break;
      }
      target = Target::kNone;
      return;
    }
    if (in_programme && std::strcmp(name, "rating") == 0) {
      in_rating = false;
    } else if (in_programme && std::strcmp(name, "programme") == 0) {
      in_programme = false;
      EndProgramme();
    } else if (!in_programme && std::strcmp(name, "channel") == 0) {
      channel = -1;
    }
  }

  void EndProgramme() {
    const bool wanted = has_stop ? record.stop > from && record.start < to
                                 : record.start + 86400 > from && record.start < to;
    if (!wanted) return;
    record.title = store.Intern(title);
    record.sub_title = store.Intern(sub_title);
    record.description = store.Intern(description);
    record.episode = store.Intern(!episode_onscreen.empty() ? episode_onscreen : EpisodeFromXmltvNs(episode_ns));
    std::string joined;
    for (const std::string& category : categories) {
      if (!joined.empty()) joined += ", ";
      joined += category;
    }
    record.categories = store.Intern(joined);
    record.rating = store.Intern(rating);
    record.icon = store.Intern(icon);
    record.catchup_id = store.Intern(catchup_id);
    if (has_stop) {
      Keep(programme_channel, record);
      return;
    }
    const auto index = static_cast<size_t>(programme_channel);
    if (open.size() <= index) open.resize(index + 1);
    open[index] = record;
  }

  void Text(const char* bytes, int count) {
    if (target == Target::kNone) return;
    const size_t room = kMaxText - std::min(kMaxText, text.size());
    text.append(bytes, std::min(room, static_cast<size_t>(count)));
  }
};

XmltvReader::XmltvReader(GuideStore& store, int64_t now) : state_(std::make_unique<State>(store, now)) {
  // No forced encoding: the declaration (UTF-8, ISO-8859-1, UTF-16) or the
  // byte order mark chooses.
  state_->parser = XML_ParserCreate(nullptr);
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
  // A guide has no use for entity declarations; refusing them stops both
  // expanding ("billion laughs") and external ones before they are used.
  XML_SetEntityDeclHandler(state_->parser, [](void* data, const XML_Char*, int, const XML_Char*, int,
                                              const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    auto* state = static_cast<State*>(data);
    state->refusal = "the guide declares entities, which are refused";
    XML_StopParser(state->parser, XML_FALSE);
  });
  XML_SetParamEntityParsing(state_->parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmltvReader::~XmltvReader() {
  if (state_->parser != nullptr) XML_ParserFree(state_->parser);
}

size_t XmltvReader::programmes() const { return state_->added; }

bool XmltvReader::Feed(const char* bytes, size_t count, bool last) {
  if (state_->broken) return false;
  do {
    const int piece = static_cast<int>(std::min(count, kPiece));
    const bool final_piece = last && static_cast<size_t>(piece) == count;
    if (XML_Parse(state_->parser, bytes, piece, final_piece ? 1 : 0) != XML_STATUS_OK) {
      state_->broken = true;
      error_ = !state_->refusal.empty()
                   ? state_->refusal
                   : std::string(XML_ErrorString(XML_GetErrorCode(state_->parser))) + " at line " +
                         std::to_string(XML_GetCurrentLineNumber(state_->parser));
      state_->FlushOpen();
      return false;
    }
    bytes += piece;
    count -= static_cast<size_t>(piece);
  } while (count > 0);
  if (last) state_->FlushOpen();
  return true;
}

namespace {

// Feeds `reader` from a source of raw bytes, inflating gzip (several
// members too) as it goes, within the inflate allowance.
class GuideFeeder {
 public:
  GuideFeeder(XmltvReader& reader, uint64_t compressed_size, GuideReadResult& result)
      : reader_(reader), result_(result),
        allowance_(std::max(kMinInflateAllowance, compressed_size * kMaxInflateRatio)), out_(kPiece) {}
  ~GuideFeeder() {
    if (inflating_) inflateEnd(&stream_);
  }

  // False once the read has ended in a fault (result says why).
  bool Push(const char* bytes, size_t count, bool last) {
    if (!started_) {
      started_ = true;
      gzip_ = count >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F && static_cast<unsigned char>(bytes[1]) == 0x8B;
      if (gzip_) {
        if (inflateInit2(&stream_, 16 + MAX_WBITS) != Z_OK) return Fail(false, "no memory to inflate the guide");
        inflating_ = true;
      }
    }
    if (!gzip_) return Xml(bytes, count, last);
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
    stream_.avail_in = static_cast<uInt>(count);
    while (true) {
      stream_.next_out = reinterpret_cast<Bytef*>(out_.data());
      stream_.avail_out = static_cast<uInt>(out_.size());
      const int status = inflate(&stream_, Z_NO_FLUSH);
      const size_t produced = out_.size() - stream_.avail_out;
      if (status != Z_OK && status != Z_STREAM_END && !(status == Z_BUF_ERROR && produced == 0)) {
        return Fail(true, "damaged compressed data");
      }
      if (result_.xml_bytes + produced > allowance_) {
        return Fail(true, "the compressed guide unpacks to more than " + std::to_string(kMaxInflateRatio) +
                              " times its size");
      }
      const bool end = status == Z_STREAM_END && stream_.avail_in == 0 && last;
      if (produced > 0 || end) {
        if (!Xml(out_.data(), produced, end)) return false;
      }
      if (status == Z_STREAM_END) {
        if (stream_.avail_in == 0) {
          if (last) return true;
          member_done_ = true;
          return true;
        }
        inflateReset(&stream_);  // another gzip member follows
        continue;
      }
      if (status == Z_OK) member_done_ = false;
      if (stream_.avail_in == 0 && stream_.avail_out != 0) break;
    }
    if (last) {
      if (!member_done_) return Fail(true, "truncated compressed data");
      return Xml(nullptr, 0, true);
    }
    return true;
  }

 private:
  bool Xml(const char* bytes, size_t count, bool last) {
    result_.xml_bytes += count;
    if (!reader_.Feed(bytes, count, last)) return Fail(true, "broken XML: " + reader_.error());
    return true;
  }
  bool Fail(bool damaged, std::string reason) {
    result_.damaged = damaged;
    result_.reason = std::move(reason);
    return false;
  }

  XmltvReader& reader_;
  GuideReadResult& result_;
  uint64_t allowance_;
  std::vector<char> out_;
  z_stream stream_{};
  bool started_ = false;
  bool gzip_ = false;
  bool inflating_ = false;
  bool member_done_ = false;
};

}  // namespace

GuideReadResult ReadXmltvFile(const std::filesystem::path& path, GuideStore& store, int64_t now,
                              const std::atomic<bool>* cancel) {
  GuideReadResult result;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    result.reason = "cannot open " + path.string() + ": " + std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    result.reason = path.string() + " is not a regular file";
    return result;
  }
  XmltvReader reader(store, now);
  GuideFeeder feeder(reader, static_cast<uint64_t>(info.st_size), result);
  std::vector<char> buffer(kPiece);
  bool ok = true;
  while (ok) {
    if (cancel != nullptr && cancel->load()) {
      result.reason = "cancelled";
      ok = false;
      break;
    }
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      result.damaged = true;
      result.reason = std::string("read error: ") + std::strerror(errno);
      ok = false;
      break;
    }
    ok = feeder.Push(buffer.data(), static_cast<size_t>(n), n == 0);
    if (n == 0) break;
  }
  ::close(fd);
  result.ok = ok;
  result.programmes = reader.programmes();
  return result;
}

GuideReadResult ReadXmltvBytes(std::string_view bytes, GuideStore& store, int64_t now) {
  GuideReadResult result;
  XmltvReader reader(store, now);
  GuideFeeder feeder(reader, bytes.size(), result);
  bool ok = true;
  size_t at = 0;
  do {
    const size_t piece = std::min(kPiece, bytes.size() - at);
    ok = feeder.Push(bytes.data() + at, piece, at + piece == bytes.size());
    at += piece;
  } while (ok && at < bytes.size());
  if (ok && bytes.empty()) ok = feeder.Push(nullptr, 0, true);
  result.ok = ok;
  result.programmes = reader.programmes();
  return result;
}

}  // namespace vidora
