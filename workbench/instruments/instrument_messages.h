// What the instrument dialogs say, and the way their instruments say it.
#pragma once

#include <QString>

#include "message_sink.h"

// The instruments' messages go to UserMessage.
instruments::MessageSink UserMessageSink();

// Said when a motion of the X axis has not ended within its time bound.
QString MoveNotFinishedText();
