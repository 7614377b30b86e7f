#ifndef VIDORA_CORE_COMMANDS_MESSAGE_ANSWER_H_
#define VIDORA_CORE_COMMANDS_MESSAGE_ANSWER_H_

namespace vidora {

// The buttons a message box offers, and the one the user pressed. A box
// that cannot be shown (the player is closing) answers as its Escape key
// would: kOk, or kNo for Yes/No.
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

}  // namespace vidora

#endif  // VIDORA_CORE_COMMANDS_MESSAGE_ANSWER_H_
