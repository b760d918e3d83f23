#include "instrument_ui.h"

#include <QLabel>
#include <QPushButton>

#include "metrology/instruments/c832_controller.h"
#include "workbench/common/user_message.h"

instruments::MessageSink UserMessageSink()
{
    return [](const std::string& text) { UserMessage(QString::fromStdString(text)); };
}

QString MoveNotFinishedText() { return QString::fromUtf8(instruments::kMoveNotFinishedText); }

QPushButton* PlainButton(const char* text, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(false);
    return button;
}

QLabel* MnemonicLabel(const char* text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}
