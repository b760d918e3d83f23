// The scheme the slider dialogs share: the document's image is saved when the
// dialog opens; a slider movement only records the setting; the dialog's
// timer applies it, always to the saved image, once the slider has rested
// (PreviewTiming); Cancel gives the saved image back.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QDialog>

#include <imageproc/tone_curves.h>
#include <verodyn/object.h>

#include "workbench/common/window_timers.h"
#include "workbench/core/preview_timing.h"

class CFraloDoc;
class QSlider;

class CPreviewDlg : public QDialog {
    Q_OBJECT
public:
    // Saves `doc`'s image and starts timer `timerId` (50 ms).
    CPreviewDlg(CFraloDoc& doc, int timerId, QWidget* parent);

    // A tick of the timer: applies a setting that has rested long enough.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // Applies the current setting to the saved image, into the document.
    virtual void ApplySetting() = 0;
    // "&Image originale": the sliders back to their start, applied at once.
    void OnOriginalImage();

    // OK applies a setting still waiting, then closes keeping the document
    // as shown; Cancel gives it the saved image back.
    void accept() override;
    void reject() override;

protected:
    // A slider of the setting, named after `id`, from `minimum` to `maximum`,
    // at `start`: each move reads the sliders, then the setting waits.
    QSlider* SettingSlider(int id, int minimum, int maximum, int start);
    // The setting and its texts from the sliders.
    virtual void ReadSliders() = 0;
    // The saved image through `table`, into the document, shown.
    void ApplyTableToSaved(const ToneTable& table);
    // The saved image back into the document, shown.
    virtual void RestoreSaved();

    CFraloDoc& m_doc;
    Vobject m_saved;

private:
    // Stops the timer, runs `last` and closes with `result`; when `last`
    // fails the dialog stays open and its timer runs again.
    void CloseAfter(const std::function<void()>& last, int result);

    int m_nTimerId;
    std::vector<std::pair<QSlider*, int>> m_sliderStarts;
    PreviewTiming m_timing;
    WindowTimers m_timers;
};
