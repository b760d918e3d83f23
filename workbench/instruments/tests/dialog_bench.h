// The instrument dialogs on a simulated machine, with the application object
// they keep their settings in and the user's messages recorded.
#pragma once

#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

#include "metrology/instruments/tests/instrument_bench.h"
#include "workbench/app/fralo_app.h"
#include "workbench/common/user_message.h"

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageSink([this](const QString& text, MessageButtons) {
            messages.append(text);
            return int(AnswerOk);
        });
    }
    void TearDown() override { SetMessageSink(nullptr); }

    // A machine set up otherwise.
    void Reboot(instruments::testing::BenchOptions options)
    {
        bench.reset();
        bench = std::make_unique<instruments::testing::InstrumentBench>(options);
    }

    std::unique_ptr<instruments::testing::InstrumentBench> bench =
        std::make_unique<instruments::testing::InstrumentBench>();
    CFraloApp app;
    QStringList messages;
};

// The push button of `dialog` whose text is `text` (UTF-8), or null.
inline QPushButton* ButtonOf(QWidget& dialog, const char* text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QString::fromUtf8(text))
            return button;
    return nullptr;
}
