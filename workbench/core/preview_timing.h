// When a slider dialog previews its setting: a movement only records the
// setting, and the dialog's 50 ms timer applies it once the slider has been
// still for more than 10 ticks, once per movement.
#pragma once

class PreviewTiming {
public:
    static constexpr int kTickMs = 50;
    static constexpr int kQuietTicks = 10;

    // A slider moved: a setting waits, and the quiet ticks count from 0.
    void Moved()
    {
        m_bChanged = true;
        m_nQuiet = 0;
    }
    // A tick; true when the waiting setting is to be applied now.
    bool Tick()
    {
        if (m_nQuiet <= kQuietTicks)
            ++m_nQuiet;
        return m_nQuiet > kQuietTicks && TakeWaiting();
    }
    // True when a setting waits; it no longer does.
    bool TakeWaiting()
    {
        const bool waiting = m_bChanged;
        m_bChanged = false;
        return waiting;
    }

private:
    int m_nQuiet = 0;
    bool m_bChanged = false;
};
