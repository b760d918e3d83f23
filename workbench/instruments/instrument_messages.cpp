#include "instrument_messages.h"

#include "user_message.h"

instruments::MessageSink UserMessageSink()
{
    return [](const std::string& text) { UserMessage(QString::fromStdString(text)); };
}

QString MoveNotFinishedText() { return QString::fromUtf8("Déplacement de l'axe X non terminé !"); }
