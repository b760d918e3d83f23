#include "user_message.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageSink& Sink()
{
    static MessageSink sink;
    return sink;
}

} // namespace

int UserMessage(const QString& text, MessageButtons buttons)
{
    if (Sink())
        return Sink()(text, buttons);
    QWidget* parent = QApplication::activeWindow();
    if (buttons == MessageButtons::YesNo)
        return QMessageBox::question(parent, QStringLiteral("Ondula4"), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
                   ? AnswerYes
                   : AnswerNo;
    QMessageBox::information(parent, QStringLiteral("Ondula4"), text);
    return AnswerOk;
}

void SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }
