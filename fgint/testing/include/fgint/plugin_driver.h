// Drives a plug-in through its callbacks, as the host does, for the plug-ins'
// tests: the plug-in loaded and initialised, open requests with the class
// defaults, opens bound to their slots, grabs into host images, parameters set
// and answered as text, and each test ended with nothing left allocated.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <fgint/fghelpers.h>
#include <fgint/values.h>

namespace fg {

// Host images of one grab, freed with the test's scope.
struct Images {
    VImageRecord record[FG_MAX_CHANNELS] = {};
    int32_t count = 0;
    ~Images()
    {
        for (VImageRecord& image : record)
            VXFree(0, image.owned, __FILE__, __LINE__, 0);
    }
    uint8_t Byte(int channel, int x, int y) const
    {
        return record[channel].pixel.b[y * record[channel].width + x];
    }
    uint16_t Word(int channel, int x, int y) const
    {
        return record[channel].pixel.u[y * record[channel].width + x];
    }
};

// A set, the status it answers and the parameter read back after it (nullptr: not read).
struct SetCase {
    const char* name;
    Vcpar value;
    FGstatus status;
    const char* read = nullptr;
};

// A get, the answer it gives (nullptr: not compared) and the status it answers.
struct GetCase {
    const char* name;
    const char* answer;
    FGstatus status = FG_SUCCESS;
};

// Each get answers its status and, where the case gives one, its answer;
// `get(name, &status)` reads a parameter as text.
template <class GetText> void ExpectAnswers(std::span<const GetCase> cases, GetText get)
{
    for (const GetCase& c : cases) {
        FGstatus status = FG_SUCCESS;
        const std::string answer = get(c.name, &status);
        EXPECT_EQ(status, c.status) << c.name;
        if (c.answer) {
            EXPECT_EQ(answer, c.answer) << c.name;
        }
    }
}

class PluginDriver {
protected:
    // `camera_type` and `device`: what a test opens when it names none.
    PluginDriver(const char* camera_type, const char* device)
        : camera_type_(camera_type), device_(device)
    {
    }

    // The class of the plug-in at `path` (loaded for the program's life),
    // initialised afresh into cls_.
    FGstatus InitPlugin(const char* path)
    {
        void* library = dlopen(path, RTLD_NOW);
        if (!library) {
            ADD_FAILURE() << dlerror();
            return FG_ERR_OPEN;
        }
        cls_ = FGClass{};
        return reinterpret_cast<FGInitProc>(dlsym(library, "FGInit"))(1, &cls_);
    }

    // How every test ends: what is still open is closed and low-level errors
    // are no longer printed. What the host still holds is the host's to check,
    // after this.
    void EndTest()
    {
        CloseAll();
        VDoLowError = 0;
    }

    FGInstance& Request() { return Request(camera_type_); }
    FGInstance& Request(const char* camera_type) { return Request(camera_type, device_); }

    // Open parameters with the class defaults, kept for the test's length.
    FGInstance& Request(const char* camera_type, const char* device)
    {
        FGInstance& i = requests_.emplace_back();
        i.fgclass = &cls_;
        i.horizontal_resolution = cls_.horizontal_resolution;
        i.vertical_resolution = cls_.vertical_resolution;
        i.image_width = cls_.image_width;
        i.image_height = cls_.image_height;
        i.start_row = cls_.start_row;
        i.start_column = cls_.start_column;
        i.field = cls_.field;
        i.bits_per_channel = cls_.bits_per_channel;
        fg_copy_text(i.color_space, sizeof i.color_space, cls_.color_space);
        i.gain = cls_.gain;
        fg_copy_text(i.camera_type, sizeof i.camera_type, camera_type);
        fg_copy_text(i.device, sizeof i.device, device);
        i.port = cls_.port;
        i.line_in = cls_.line_in;
        return i;
    }

    // The part of an open: resolution (both), width, height and start.
    static void SetPart(FGInstance& i, int32_t resolution, int32_t width, int32_t height,
                        int32_t start_column, int32_t start_row)
    {
        i.horizontal_resolution = i.vertical_resolution = resolution;
        i.image_width = width;
        i.image_height = height;
        i.start_column = start_column;
        i.start_row = start_row;
    }

    // What the host does for an open: bind a slot, then FGOpen; -1 when no
    // slot is given.
    FGstatus Open(FGInstance& i)
    {
        FGInstance** slot = cls_.FGAllocInstance(1, &i);
        if (!slot)
            return -1;
        *slot = &i;
        const FGstatus status = cls_.FGOpen(1, &i);
        if (status == FG_SUCCESS)
            open_.push_back({&i, slot});
        else
            *slot = nullptr;
        return status;
    }

    FGInstance& Opened() { return Opened(camera_type_); }
    FGInstance& Opened(const char* camera_type) { return Opened(camera_type, device_); }

    // Opens `camera_type` on `device`, which must succeed.
    FGInstance& Opened(const char* camera_type, const char* device)
    {
        FGInstance& i = Request(camera_type, device);
        EXPECT_EQ(Open(i), FG_SUCCESS) << camera_type << " on " << device;
        return i;
    }

    // Closes an open instance; FGClose must answer `expected`.
    void Close(FGInstance& i, FGstatus expected = FG_SUCCESS)
    {
        for (auto it = open_.begin(); it != open_.end(); ++it)
            if (it->first == &i) {
                EXPECT_EQ(cls_.FGClose(1, &i), expected);
                *it->second = nullptr;
                open_.erase(it);
                return;
            }
    }

    void CloseAll()
    {
        while (!open_.empty())
            Close(*open_.back().first);
    }

    FGstatus Grab(FGInstance& i, Images& images)
    {
        return cls_.FGGrab(1, &i, images.record, &images.count);
    }

    // Grabs into `images`, which must then hold one `kind` image of `width` x `height`.
    testing::AssertionResult GrabsOne(FGInstance& i, Images& images, int32_t kind, int32_t width,
                                      int32_t height)
    {
        const FGstatus status = Grab(i, images);
        if (status != FG_SUCCESS)
            return testing::AssertionFailure() << "grab answered " << status;
        const VImageRecord& image = images.record[0];
        if (images.count != 1 || image.kind != kind || image.width != width ||
            image.height != height)
            return testing::AssertionFailure()
                   << images.count << " image(s), the first of kind " << image.kind << ", "
                   << image.width << " x " << image.height;
        return testing::AssertionSuccess();
    }

    FGstatus Set(FGInstance& i, const char* name, const Vcpar& value)
    {
        return cls_.FGSetParam(1, &i, name, &value, 1);
    }

    void ExpectSets(FGInstance& i, std::span<const SetCase> cases)
    {
        for (const SetCase& c : cases) {
            EXPECT_EQ(Set(i, c.name, c.value), c.status) << c.name;
            if (c.read) {
                EXPECT_EQ(Get(i, c.name), c.read) << c.name;
            }
        }
    }

    void ExpectAnswers(FGInstance& i, std::span<const GetCase> cases)
    {
        fg::ExpectAnswers(cases,
                          [&](const char* name, FGstatus* status) { return Get(i, name, status); });
    }

    // The status of a get whose answer does not matter.
    FGstatus GetStatus(FGInstance& i, const char* name)
    {
        FGstatus status = FG_SUCCESS;
        Get(i, name, &status);
        return status;
    }

    // The answer as text: values joined by ',' (reals with two decimals).
    std::string Get(FGInstance& i, const char* name, FGstatus* status = nullptr)
    {
        std::vector<Vcpar> values(64);
        int32_t count = int32_t(values.size());
        FGstatus result = cls_.FGGetParam(1, &i, name, values.data(), &count);
        if (result == FG_ERR_PARAM_VALUE && count > int32_t(values.size())) {
            values.resize(size_t(count));
            result = cls_.FGGetParam(1, &i, name, values.data(), &count);
        }
        if (status)
            *status = result;
        else
            EXPECT_EQ(result, FG_SUCCESS) << name;
        std::string text;
        for (int32_t n = 0; result == FG_SUCCESS && n < count; ++n) {
            char value[64];
            if (values[n].type == VPAR_INT)
                std::snprintf(value, sizeof value, "%d", values[n].par.l);
            else if (values[n].type == VPAR_REAL)
                std::snprintf(value, sizeof value, "%.2f", values[n].par.f);
            text += (n ? "," : "") +
                    std::string(values[n].type == VPAR_STRING ? values[n].par.s : value);
        }
        return text;
    }

    const char* camera_type_;
    const char* device_;
    FGClass cls_{};
    std::deque<FGInstance> requests_;
    std::vector<std::pair<FGInstance*, FGInstance**>> open_;
};

} // namespace fg
