// The settings record: the six values kept in "config.dat" and the run-time
// settings that the windows share (sizes, pens and fonts, camera, fringes,
// supply and stages, the open zone windows). The application owns it;
// windows, documents and views read and change it through Settings().
#pragma once

#include <array>
#include <cstdint>

#include <QFont>
#include <QPen>

#include "workbench/core/settings_record.h"
#include "workbench/core/size_table.h"

class CExtractImageDlg;
class CFraloDoc;
class CMouseCoordsDlg;
class MaskEditor;

// The SettingsRecord part holds the values "config.dat" keeps.
class WorkbenchSettings : public SettingsRecord {
public:
    // Clears the ten pairs and fills those of `source`.
    void FillSizeTable(int source);
    // True when some pair of the current table equals (width, height); when
    // none does, the size index and the default size fall back to pair 0.
    bool IsSizeAllowed(int source, int width, int height);
    // 0 and pair `index`, or 1 and 640 x 480 for an index outside 0..9 or an empty pair.
    int GetSize(int index, int16_t* width, int16_t* height) const;
    void CreatePensAndFonts();
    // The rotation in degrees of label font k (0..179): 90 - k.
    static int LabelFontRotation(int k) { return 90 - k; }

    // The values "config.dat" keeps.
    SettingsRecord Persisted() const;
    // Takes the values read from "config.dat" and the size table of their source.
    void TakePersisted(const SettingsRecord& record);

    // The source chosen, and the size table it allows.
    void ChooseSource(int source);
    // A source that failed to start: none, the size table kept.
    void DropSource();
    // The size index `index` (kept when -1) becomes the default size, when
    // the table holds a pair there.
    void SelectSize(int index);
    void SetDefaultSize(int width, int height);
    // The supply model with the full scale of its range (500 V or 100 V).
    void SetSupplyModel(int model);
    // What the piezo dialog leaves: its port, the range typed and the slider.
    void KeepPiezoSettings(int comPort, int fullScale, int sliderPos);
    void SetSliderPosition(int position);
    // The fringe pattern: period, mean grey level and contrast.
    void SetFringePattern(int period, int mean, float contrast);
    void SetFringePeriod(int period);
    // The four steps of each instrument's phase shift.
    void SetPhaseSteps(const std::array<int16_t, 4>& setpoints);
    void SetStagePositions(const std::array<float, 4>& positions);
    void SetStepperPositions(const std::array<int16_t, 4>& positions);
    void SetMaskShape(int shape);
    // The zone windows open once each: registered when they open, forgotten
    // when they close (only the one registered is).
    void RegisterZoneWindow(CMouseCoordsDlg* window);
    void RegisterZoneWindow(CExtractImageDlg* window);
    void RegisterZoneWindow(MaskEditor* window);
    void ForgetZoneWindow(const CMouseCoordsDlg* window);
    void ForgetZoneWindow(const CExtractImageDlg* window);
    void ForgetZoneWindow(const MaskEditor* window);
    // A document is made (the counter numbers the next one) or closed.
    void DocumentOpened();
    void DocumentClosed();
    // The document a paste copies; a closing document is forgotten.
    void SetCopiedDocument(CFraloDoc* doc);
    void ForgetDocument(const CFraloDoc* doc);

    int16_t m_nImageCounter = 0;
    int16_t m_nOpenImages = 0;
    int16_t m_nChildWidth = 0;
    int16_t m_nChildHeight = 0;
    int16_t m_nMaxWidth = 1024;
    int16_t m_nMaxHeight = 768;
    std::array<QPen, 8> m_pens;
    QFont m_font; // the label font; LabelFontRotation gives the angle of each of the 180
    std::array<uint32_t, 8> m_colors = {0xFFFFFF, 0x0000FF, 0x00FFFF, 0xFF82FF,
                                        0x82FF82, 0xE65050, 0xFF00FF, 0x000000};
    int16_t m_nFontHeight = 14;
    int16_t m_nPenWidth = 1;
    SizeTable m_sizeTable{};
    float m_fCameraGain = 15.0f;
    int16_t m_nExposureUs = 20000;
    int16_t m_nFringePeriod = 30;
    int16_t m_nFringeMean = 127;
    float m_fFringeContrast = 1.0f;
    int16_t m_nComPort = 0;
    int16_t m_nSliderPos = 0;
    std::array<float, 4> m_fStagePos = {0.0f, 0.25f, 0.5f, 0.75f};
    std::array<int16_t, 4> m_nPhaseSteps = {409, 476, 544, 611};
    std::array<int16_t, 4> m_nStepperPos = {0, 2, 4, 6};
    int16_t m_nMaskShape = 0;
    CMouseCoordsDlg* m_pMouseCoordsDlg = nullptr; // the open mouse-coordinates window
    CExtractImageDlg* m_pExtractDlg = nullptr;    // the open extraction dialog
    MaskEditor* m_pMaskDlg = nullptr;             // the open mask dialog
    CFraloDoc* m_pCopiedDoc = nullptr;            // the document a paste copies
};

// The running application's settings; null before it starts.
WorkbenchSettings* Settings();
// Wired once, by the application when it starts (null when it ends).
void SetSettings(WorkbenchSettings* settings);

// A colour of the overlay table (0x00BBGGRR) as a QColor.
QColor ColorFromRef(uint32_t colorRef);
