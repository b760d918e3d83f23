// The camera document as the acquisition sequences see it: its live
// acquisition, and its current frame taken by source (the webcam's capture
// window, the Talvo board, or the image that live acquisition keeps current),
// resized to the sequence's size and made grey.
#pragma once

#include <optional>
#include <string>

#include <verodyn/object.h>

#include "metrology/acquisition/sequence_ports.h"

class WorkbenchSettings;
class CFraloDoc;

// `image` resized to width x height ("constant"); empty when it cannot be.
Vobject ZoomedImage(const Vobject& image, int width, int height);

class CameraPort final : public acquisition::LiveAcquisition, public acquisition::FrameSource {
public:
    CameraPort(WorkbenchSettings& app, CFraloDoc& camera, int width, int height);

    // StartAcquisition on the camera document; false when no source is in force after it.
    bool Start() override;
    // StartAcquisition now, ahead of the sequence: its next Start only says
    // whether this start succeeded, without starting again, since a camera
    // lost meanwhile has told the user already (IsRunning then says so).
    void StartAhead();
    // StopAcquisition, when a source is chosen.
    void Stop() override;
    // StopAcquisition on the camera document; a start made ahead is forgotten.
    void StopAcquisition();
    bool IsRunning() const override;
    bool Grab(std::uint8_t* plane) override;
    // "Erreur dimensions image:..." after a frame that could not be brought
    // to the port's size.
    std::string Failure() const override { return m_strFailure; }

private:
    WorkbenchSettings& m_app;
    CFraloDoc& m_camera;
    int m_nWidth;
    int m_nHeight;
    std::string m_strFailure;
    // Whether the start made ahead succeeded; none without one pending.
    std::optional<bool> m_startedAhead;
};
