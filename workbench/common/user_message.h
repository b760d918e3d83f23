// The one way the workbench talks to its user: a message box in the program,
// a recorder in the tests.
#pragma once

#include <functional>

#include <QString>

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum MessageAnswer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

// Shows `text` and returns the button chosen (AnswerOk, AnswerCancel,
// AnswerYes or AnswerNo). A box with OK alone tells of a failure: it carries
// the warning icon; the others ask a question.
int UserMessage(const QString& text, MessageButtons buttons = MessageButtons::Ok);

// Tells the user that a treatment takes only "byte" images of 1 or 3 channels.
void RefuseOtherPixelTypes();

// Replaces the message box by `sink` (tests); an empty function restores the box.
using MessageSink = std::function<int(const QString& text, MessageButtons buttons)>;
void SetMessageSink(MessageSink sink);
