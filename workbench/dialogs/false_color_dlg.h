// "Visualisation en fausses couleurs": the camera's grey levels live through
// the false-colour palette, in a document of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "live_view_dlg.h"

class WorkbenchSettings;

class CFalseColorDlg : public CLiveViewDlg {
    Q_OBJECT
public:
    enum { TIMER_FALSE_COLOURS = 1 };

    explicit CFalseColorDlg(WorkbenchSettings* app, QWidget* parent = nullptr);

protected:
    void ComputeResult() override;

private:
    std::vector<uint8_t> m_planes[3];
};
