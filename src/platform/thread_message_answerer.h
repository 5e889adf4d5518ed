#pragma once
// Messages of one thread answered without a window (an unattended launch).
#include "platform/dialogs.h"

namespace vel {

// Answers the messages of the calling thread only, ahead of any other
// answerer; an empty function ends it.
void SetThreadMessageAnswerer(MessageAnswerer answerer);

}  // namespace vel
