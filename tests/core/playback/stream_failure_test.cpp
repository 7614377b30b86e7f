#include "core/playback/stream_failure.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

StreamFailure CauseOf(std::initializer_list<std::pair<std::string_view, std::string_view>> lines) {
  FailureNotes notes;
  for (const auto& [module, line] : lines) notes.Note(module, line);
  return notes.Cause();
}

TEST(FailureNotesTest, TheEnginesWordsBecomeWhatTheUserCanActOn) {
  EXPECT_EQ(CauseOf({{"ffmpeg", "tcp: Failed to resolve hostname x.invalid: Name or service not known\n"}}),
            StreamFailure::kServerNotFound);
  EXPECT_EQ(CauseOf({{"ffmpeg", "tcp: Temporary failure in name resolution"}}), StreamFailure::kServerNotFound);
  EXPECT_EQ(CauseOf({{"ffmpeg", "tcp: Connection to tcp://127.0.0.1:9 failed: Connection refused"}}),
            StreamFailure::kNoConnection);
  EXPECT_EQ(CauseOf({{"ffmpeg", "tcp: Connection to tcp://10.1.1.1:80 failed: Connection timed out"}}),
            StreamFailure::kNoConnection);
  EXPECT_EQ(CauseOf({{"ffmpeg", "http: HTTP error 404 File not found"}}), StreamFailure::kNotAvailable);
  EXPECT_EQ(CauseOf({{"ffmpeg", "http: HTTP error 403 Forbidden"}}), StreamFailure::kNotAvailable);
  EXPECT_EQ(CauseOf({{"ffmpeg", "http: HTTP error 503 Service Unavailable"}}), StreamFailure::kServerError);
  EXPECT_EQ(CauseOf({{"ffmpeg", "Server returned 5XX Server Error reply"}}), StreamFailure::kServerError);
  EXPECT_EQ(CauseOf({{"ao/alsa", "Playback open error: No such file or directory"}}), StreamFailure::kNoSoundDevice);
  EXPECT_EQ(CauseOf({{"ao", "Could not open/initialize audio device -> no sound."}}), StreamFailure::kNoSoundDevice);
  EXPECT_EQ(CauseOf({{"demux", "Failed to recognize file format."}}), StreamFailure::kBadFormat);
  EXPECT_EQ(CauseOf({{"cplayer", "Failed to open http://x/."}}), StreamFailure::kCannotPlay);
  EXPECT_EQ(CauseOf({}), StreamFailure::kCannotPlay);
}

TEST(FailureNotesTest, TheCauseWinsOverWhatFollowsFromItAndTheNetworksLineIsTheDetail) {
  FailureNotes notes;
  notes.Note("cplayer", "Failed to open http://127.0.0.1/x.");
  notes.Note("ffmpeg", "http: HTTP error 404 Not Found");
  notes.Note("demux", "Failed to recognize file format.");
  notes.Note("ffmpeg", "http: Will reconnect at 100 in 0 second(s)");
  EXPECT_EQ(notes.Cause(), StreamFailure::kNotAvailable);
  EXPECT_EQ(notes.http_status(), 404);
  EXPECT_EQ(notes.detail(), "HTTP error 404 Not Found");

  // Nothing from the network layer: the first line says most.
  FailureNotes other;
  other.Note("cplayer", "Failed to open x.");
  other.Note("demux", "Failed to recognize file format.");
  EXPECT_EQ(other.detail(), "Failed to open x.");
  EXPECT_EQ(other.Cause(), StreamFailure::kBadFormat);
  other.Clear();
  EXPECT_TRUE(other.empty());
}

TEST(FailureNotesTest, AMissingSoundDeviceIsANoteNotTheCauseOfAPictureStreamsDrop) {
  FailureNotes notes;
  notes.Note("ao", "Could not open/initialize audio device -> no sound.");
  notes.Note("cplayer", "Stream ended with an error.");
  EXPECT_TRUE(notes.sound_missing());
  EXPECT_EQ(notes.Cause(), StreamFailure::kNoSoundDevice);  // sound alone cannot play
  EXPECT_EQ(notes.CauseBesidesSound(), StreamFailure::kCannotPlay);
  notes.Note("demux", "Failed to recognize file format.");
  EXPECT_EQ(notes.CauseBesidesSound(), StreamFailure::kBadFormat);
}

TEST(FailureNotesTest, OnlyServersThatCannotBeReachedAreUnreachableAndEveryFailureHasAText) {
  EXPECT_TRUE(IsUnreachable(StreamFailure::kServerNotFound));
  EXPECT_TRUE(IsUnreachable(StreamFailure::kNoConnection));
  EXPECT_FALSE(IsUnreachable(StreamFailure::kNotAvailable));
  EXPECT_FALSE(IsUnreachable(StreamFailure::kCannotPlay));
  EXPECT_TRUE(FailureTextKey(StreamFailure::kNone).empty());
  for (auto failure : {StreamFailure::kServerNotFound, StreamFailure::kNoConnection, StreamFailure::kNotAvailable,
                       StreamFailure::kServerError, StreamFailure::kBadFormat, StreamFailure::kNoSoundDevice,
                       StreamFailure::kNoProviderAddress, StreamFailure::kCannotPlay}) {
    EXPECT_FALSE(FailureTextKey(failure).empty());
  }
}

}  // namespace
}  // namespace vidora
