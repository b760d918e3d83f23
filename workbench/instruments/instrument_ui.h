// What the instrument dialogs share: the way their instruments speak to the
// user, a text two of them say, and their buttons.
#pragma once

#include <QString>

#include "metrology/instruments/message_sink.h"

class QLabel;
class QPushButton;
class QWidget;

// The instruments' messages go to UserMessage.
instruments::MessageSink UserMessageSink();

// Said when a motion of the X axis has not ended within its time bound.
QString MoveNotFinishedText();

// A push button that Enter does not press: Enter belongs to the edits.
QPushButton* PlainButton(const char* text, QWidget* parent);

// A label whose mnemonic gives `buddy` the focus: a dialog pairs each label
// with the control beside it.
QLabel* MnemonicLabel(const char* text, QWidget* buddy, QWidget* parent);
