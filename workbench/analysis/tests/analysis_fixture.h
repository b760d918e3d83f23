// A started workbench without documents, and documents made from planes.
#pragma once

#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>

#include <imageproc/plane_buffers.h>

#include "workbench/analysis/dialog_controls.h"
#include "workbench/tests/widget_fixture.h"

class AnalysisTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        delete frame->ActiveChild();
    }

    // A new active document holding a one-channel width x height image, or three
    // channels when `rgb` gives them (packed 0x00BBGGRR).
    CFraloDoc* AddDocument(int width, int height, const std::function<int(int x, int y)>& grey,
                           bool rgb = false)
    {
        PlaneBuffers planes;
        planes.width = width;
        planes.height = height;
        planes.channels = rgb ? 3 : 1;
        for (int c = 0; c < planes.channels; ++c) {
            planes.planes[c].resize(std::size_t(width) * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    planes.planes[c][std::size_t(y) * width + x] =
                        uint8_t(grey(x, y) >> (8 * c) & 0xFF);
        }
        Vobject image;
        EXPECT_TRUE(MakeImageFromPlanes(planes, &image));
        CFraloDoc* doc = app->NewImageDocument(0, 0);
        doc->SetImage(image);
        return doc;
    }

    static int Pixel(const CFraloDoc* doc, int x, int y)
    {
        return CFraloDoc::GetPixelValue(doc->m_image, x, y);
    }

    template <class T> static T* Control(QWidget& dialog, int id)
    {
        T* control = dialog.findChild<T*>(ControlName(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static QString Text(QWidget& dialog, int id) { return Control<QLabel>(dialog, id)->text(); }
    static bool Enabled(QWidget& dialog, int id)
    {
        return Control<QWidget>(dialog, id)->isEnabled();
    }

    int OpenDocuments() const { return int(frame->MdiArea()->subWindowList().size()); }
};
