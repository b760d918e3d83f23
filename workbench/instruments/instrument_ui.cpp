#include "instrument_ui.h"

#include <QLabel>
#include <QPushButton>

#include "metrology/instruments/c832_controller.h"
#include "metrology/instruments/stage.h"
#include "workbench/common/user_message.h"

instruments::MessageSink UserMessageSink()
{
    return [](const std::string& text) { UserMessage(QString::fromStdString(text)); };
}

std::unique_ptr<instruments::CC832Controller> OpenStage(ondula::Clock& clock)
{
    return std::make_unique<instruments::CC832Controller>(instruments::kStageCountsPerMm, clock,
                                                          UserMessageSink());
}

QString MoveNotFinishedText() { return QString::fromUtf8(instruments::kMoveNotFinishedText); }

QPushButton* PlainButton(const char* text, QWidget* parent, std::function<void()> onClick)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, std::move(onClick));
    return button;
}

QLabel* MnemonicLabel(const char* text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}
