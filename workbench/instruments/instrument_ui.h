// What the instrument dialogs share: the way their instruments speak to the
// user, the stage they move, a text two of them say, and their buttons.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "metrology/instruments/message_sink.h"
#include <clock/clock.h>

namespace instruments {
class CC832Controller;
}

class QLabel;
class QPushButton;
class QWidget;

// The instruments' messages go to UserMessage.
instruments::MessageSink UserMessageSink();

// The C-832 card that moves the stage, its messages shown to the user.
std::unique_ptr<instruments::CC832Controller> OpenStage(ondula::Clock& clock);

// Said when a motion of the X axis has not ended within its time bound.
QString MoveNotFinishedText();

// A push button that Enter does not press (Enter belongs to the edits),
// whose clicks run `onClick`.
QPushButton* PlainButton(const char* text, QWidget* parent, std::function<void()> onClick);

// A label whose mnemonic gives `buddy` the focus: a dialog pairs each label
// with the control beside it.
QLabel* MnemonicLabel(const char* text, QWidget* buddy, QWidget* parent);
