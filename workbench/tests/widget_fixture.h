// A started workbench for widget tests: application object, main frame, a
// settings file in a scratch folder, and the user messages recorded.
#pragma once

#include <QDir>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "workbench/app/fralo_app.h"
#include "workbench/common/desktop_open.h"
#include "workbench/common/user_message.h"
#include "workbench/core/command_ids.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/main_frame.h"
#include "workbench/view/child_frame.h"
#include "workbench/view/fralo_view.h"

class WorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages.clear();
        // Each test keeps its recent files in its own folder: tests run in parallel.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        SetMessageSink([this](const QString& text, MessageButtons buttons) {
            messages.append(text);
            return buttons == MessageButtons::YesNoCancel ? closeAnswer : answer;
        });
        app = std::make_unique<CFraloApp>();
        ASSERT_TRUE(app->InitInstance({}, dir.filePath("config.dat")));
        frame = app->MainFrame();
        // No file dialog stops a test: a save that asks where is cancelled.
        frame->SetSavePathChooser([](const QString&) { return QString(); });
    }
    void TearDown() override
    {
        app.reset();
        SetMessageSink(nullptr);
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // Runs command `id` twice: the desktop opens what it is given the first
    // time and fails the second. What the desktop was asked to open.
    QList<QUrl> OpenedRunningTwice(int id)
    {
        QList<QUrl> opened;
        bool opens = true;
        SetDesktopOpener([&](const QUrl& url) {
            opened.append(url);
            return opens;
        });
        EXPECT_TRUE(frame->Execute(id)) << id;
        opens = false;
        EXPECT_TRUE(frame->Execute(id)) << id;
        SetDesktopOpener(nullptr);
        return opened;
    }

    QTemporaryDir dir;
    std::unique_ptr<CFraloApp> app;
    CMainFrame* frame = nullptr;
    QStringList messages;
    int answer = AnswerYes;
    int closeAnswer = AnswerNo; // to "Enregistrer les modifications ...?"
};
