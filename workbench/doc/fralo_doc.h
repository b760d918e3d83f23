// One image document: the image, its name and size, its calibration, the
// mouse, cross and profile state of its view, and its frame geometry.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QPoint>
#include <QString>

#include <imageproc/profiles.h>
#include <verodyn/object.h>

#include "workbench/common/rect_tracker.h"
#include "workbench/core/calibration.h"
#include "workbench/core/frame_fit.h"
#include "workbench/core/live_control.h"
#include "workbench/core/pixel_sample.h"
#include "workbench/core/save_rules.h"

class DocumentFrame;
class ImageView;
class CVfwCaptureWnd;
class FrameGrabberPort;
class WorkbenchSettings;

// A point of two 16-bit coordinates.
struct Point16 {
    int16_t x = 0;
    int16_t y = 0;
    bool IsZero() const { return x == 0 && y == 0; }
};

class CFraloDoc : public LiveTarget {
public:
    // Numbered from the application's counter, of the default size: a test
    // pattern when no source is chosen, else a constant grey image. When the
    // image cannot be made the exception leaves the counters unchanged.
    CFraloDoc();
    // Closing any document ends the live acquisition (whichever document
    // acquires, see EndAcquisition) and closes every frame grabber; one that
    // never had a window ends only its own acquisition. A remembered copy
    // source is forgotten, and a mask dialog made for the document cancels.
    ~CFraloDoc();
    CFraloDoc(const CFraloDoc&) = delete;
    CFraloDoc& operator=(const CFraloDoc&) = delete;

    // Reads the image file at `path` into the document (name, size, title,
    // recent files, kind 0); on failure the document is unchanged and false
    // is returned, the caller reports it.
    bool LoadImage(const QString& path);
    // Writes the image to `path` with the format of its suffix (".tif"
    // appended when it has none of ".tif", ".tiff", ".jpg", ".jpeg"), as
    // bytes (other pixel types rounded and clipped to 0..255). FFT
    // images and write failures ("Erreur d'écriture fichier: " and the path)
    // are reported and change nothing; on success the document takes the
    // written path as its name, and a path written as given joins the recent
    // files.
    bool SaveImage(const QString& path);
    // True when writing `path` would replace the file the document was read
    // from, which holds more bits per sample than a write keeps.
    bool WriteLosesDepth(const QString& path) const;
    // Another image takes the document over (a paste, a camera): the file it
    // came from and that file's depth are forgotten, and a save chooses anew.
    void ForgetFile();
    // True when a save must let the user choose the file: the document forgot
    // its file, its file holds more bits than a write keeps, or it has none
    // and the file it would be written to exists.
    bool SaveNeedsChoice() const;
    // The file a save without choice writes: the document's own, else its
    // name in the working directory.
    QString SavePath() const;
    // True when the image was made or changed since the document was made,
    // read or last written. The mask dialog's working copy is no change: the
    // document gets its own image back when the dialog ends.
    bool IsModified() const;

    // "%s (%dx%d)" of the name and size, as the child frame's title.
    void UpdateTitle();
    QString Title() const;
    // The outer frame size that shows width x height pixels (at most the
    // application's maximum size).
    FrameSize FittedFrameSize(int width, int height) const;
    // Fits the frame to width x height inside the visible work area; a
    // maximised or minimised frame keeps its size.
    void FitFrameToImage(int width, int height);
    void EnlargeFrame(int width, int height);
    void UpdateScrollSizes(int width, int height);
    void MoveFrameTo(int x, int y);
    // Replaces the image and takes its size, whatever its pixel type.
    void SetImage(const Vobject& image);
    // Shows the image anew in the document's view.
    void UpdateAllViews();
    // Empties the tracker: dotted line, handle size 8.
    void ResetTracker();
    // Takes the size width x height; the image keeps its own.
    void SetSize(int width, int height);
    // Takes the size width x height with the frame fitted to it and the view
    // scrolled to the top left.
    void TakeSize(int width, int height);
    void SetName(const QString& name);
    // The kind word: KindComplexFft, KindProfiles...
    void SetKind(int kind);
    void ToggleGaussFit();
    // Made by a run to hold its result (see m_bRunResult).
    void MarkRunResult();
    void SetCalibration(const Calibration& calibration);
    // The fringe count of a z reading, with the moiré pitch when it measured one.
    void SetFringeCount(int count, std::optional<float> moirePitch = std::nullopt);

    // The child frame and the view that show the document attach themselves.
    void AttachFrame(DocumentFrame* frame);
    void AttachView(ImageView* view);
    // What the view reports: its scroll position, and the mouse at `image`
    // (image coordinates) over `value` (-1, outside the image, keeps the last value).
    void SetScrollPosition(QPoint scroll);
    void SetMouse(QPoint image, int32_t value);
    // The value under the mouse of an image of another pixel type than
    // "byte" (parts 0 for a "byte" image). Off the image it is, like
    // m_nMouseValue, the last one the mouse met on it.
    PixelSample MouseSample() const;
    // No cross: neither point nor value.
    void ClearCross();
    // No profiles shown, and an empty tracker (ResetTracker).
    void ClearProfiles();
    // Forgets the zone: the cross (ClearCross), the profiles and the
    // tracker's rectangle (its style and handles stay).
    void ClearZone();
    // Ends the user's tracking of the zone, whose rectangle is in window
    // coordinates scrolled by `scroll`: a rectangle moved, resized or drawn
    // becomes the profile segment and keeps resize handles; one smaller than
    // `clickTolerance` both ways is a click, which empties it and puts the
    // cross, with its value, at `press` when that lies on the image.
    void EndZoneTrack(QPoint press, QPoint scroll, int clickTolerance);
    // The profiles follow the image: grey, or the three colours.
    void FollowImageChannels();
    // Fills the profile buffer along the segment (see ComputeProfiles).
    void ComputeProfiles(int channel, int x1, int y1, int x2, int y2);

    // Starts acquiring from the application's source into this document,
    // unless a document acquires already (then nothing happens). The document
    // first takes a size the source allows (ApplySourceSize). TWAIN grabs one
    // image; the webcam, the library sources and the Talvo board acquire
    // live. A failed start shows its message and sets the source back to 0
    // (not for TWAIN); the document keeps its image, size and file. A start
    // that gives an image makes the document forget its file. Returns the
    // source in force afterwards.
    int StartAcquisition();
    // Ends the live acquisition of the acquiring document, keeping its last
    // frame in it, then resizes this document's image to its own size.
    void StopAcquisition();
    // When the document's size is not among those `source` allows, the
    // default size falls back to the first allowed; a document not of the
    // default size takes it, with a constant grey image, title and frame.
    void ApplySourceSize(int source);

    // The grey level or packed 0x00BBGGRR value of pixel (x, y), -1 outside.
    static int32_t GetPixelValue(const Vobject& image, int x, int y);
    static int PixelLuminance(int32_t packed, int channel);
    // Channels of the image (1 or 3; 0 without image).
    int Channels() const;

    // Live frames go into the image, from the grabber `m_hGrabber`.
    Vobject* FrameImage() override { return &m_image; }
    long FrameGrabber() const override { return m_hGrabber; }

    WorkbenchSettings* m_pApp;
    DocumentFrame* m_pChildFrame = nullptr;
    ImageView* m_pView = nullptr;
    QString m_strName;
    QString m_strPathName; // the full path of the document's file; empty until saved or loaded
    int m_nFileBits = kWrittenBitsPerSample; // bits per sample of the file read, until written
    QString m_strReadFailure;      // why the last read failed, for the user; empty when unknown
    bool m_bFileForgotten = false; // the image is no longer the one of the file it came from
    int16_t m_nImageNumber;
    int16_t m_nWidth;
    int16_t m_nHeight;
    Point16 m_ptMouse;
    Point16 m_ptCross;
    Point16 m_ptScroll;
    int32_t m_nMouseValue = 0;
    PixelSample m_mouseSample; // what m_nMouseValue is for other pixel types
    int32_t m_nCrossValue = -1;
    float m_fScaleXY = 1.0f;
    float m_fScaleZ = 1.0f;
    float m_fUnitFactorXY = 1.0f;
    float m_fUnitFactorZ = 1.0f;
    float m_fMoirePitch = 8.3f;
    int32_t m_bCalibratedXY = 0;
    int32_t m_bCalibratedZ = 0;
    ProfileState m_profile;
    int32_t m_bGaussFit = 0;
    int32_t m_nKind = 0;
    CRectTracker m_tracker;
    int32_t m_nFringeCount = 0;
    // Made by a phase or time-averaged run to hold its result: never taken
    // over as a camera document.
    bool m_bRunResult = false;
    Vobject m_image;
    long m_hGrabber = 0;
    // The capture window while the webcam source acquires into this document.
    std::unique_ptr<CVfwCaptureWnd> m_pVfwCapture;

private:
    // The image as it is now is the one its file holds (or the one made).
    void MarkUnmodified();
    // The document's own image: while the mask dialog paints over it, the one
    // that dialog gives back.
    const Vobject& OwnImage() const;

    // One image from TWAIN; false (with a message when no source opens) when none came.
    bool GrabTwainImage(FrameGrabberPort& grabbers);
    // Each start is true when the source is acquiring into the document.
    bool StartLibraryGrabber(FrameGrabberPort& grabbers, int source);
    bool StartCapture();
    bool StartBoard();
    // A failed start: the source back to 0 and `message` shown (UTF-8; none when empty).
    void FailStart(const std::string& message);
    // Ends the acquisition of whichever document acquires. The webcam and the
    // board freeze their last frame into it (they do not grab into its
    // image); a library source grabs a last frame only when `lastFrame`.
    // Every frame grabber is closed.
    void EndAcquisition(bool lastFrame);
    void FreezeCapture();
    void FreezeBoard();
    // The image resized to the document's size and shown.
    void ResizeImageToSize();
    // Takes `image` of `width` x `height` back, with title, frame and view.
    void TakeImageOfSize(const Vobject& image, int16_t width, int16_t height);

    std::size_t m_nSavedFingerprint = 0;
};
