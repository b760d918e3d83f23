// A window the board library draws into: the library hands it each frame on
// its grab thread; the window keeps the newest and shows it on the GUI thread.
#pragma once

#include <atomic>
#include <mutex>

#include <QImage>
#include <QWidget>

#include <dvl/board.h>

class BoardSurface : public QWidget {
public:
    // Registered with the board library under Handle() until destroyed.
    explicit BoardSurface(QWidget* parent);
    ~BoardSurface() override;

    // The window handle to select a board's buffer into.
    DvlWindow Handle() const { return reinterpret_cast<DvlWindow>(this); }
    // Frames received from the library so far.
    int FramesReceived() const { return m_nFrames; }
    // The newest frame.
    QImage Frame() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable std::mutex m_lock;
    QImage m_frame;
    std::atomic<bool> m_bRepaintAsked{false};
    std::atomic<int> m_nFrames{0};
};
