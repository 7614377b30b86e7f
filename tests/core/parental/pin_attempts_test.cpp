#include "core/parental/pin_attempts.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(PinAttemptsTest, ThreeWrongPinsInARowWaitAMinuteThenPinsAreTakenAgain) {
  PinAttempts attempts;
  attempts.NoteWrong(100);
  attempts.NoteWrong(101);
  EXPECT_EQ(attempts.WaitLeft(101), 0);
  attempts.NoteWrong(102);
  EXPECT_EQ(attempts.WaitLeft(102), 60);
  EXPECT_EQ(attempts.WaitLeft(161), 1);
  EXPECT_EQ(attempts.WaitLeft(162), 0);
  // The count starts again: two more wrong ones do not wait.
  attempts.NoteWrong(170);
  attempts.NoteWrong(171);
  EXPECT_EQ(attempts.WaitLeft(171), 0);
}

TEST(PinAttemptsTest, ARightPinClearsTheWrongOnesBeforeIt) {
  PinAttempts attempts;
  attempts.NoteWrong(10);
  attempts.NoteWrong(11);
  attempts.NoteRight();
  attempts.NoteWrong(12);
  attempts.NoteWrong(13);
  EXPECT_EQ(attempts.WaitLeft(13), 0);
}

}  // namespace
}  // namespace vidora
