// What tests of a plug-in share: host images that free themselves, value
// records, and the host's side of opening, closing, grabbing and setting.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "fgint/fgint.h"

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
    uint16_t Word(int x, int y) const { return record[0].pixel.u[y * record[0].width + x]; }
};

inline Vcpar Int(int32_t value)
{
    Vcpar v{};
    v.par.l = value;
    v.type = VPAR_INT;
    return v;
}

inline Vcpar Text(const char* value)
{
    Vcpar v{};
    v.par.s = value;
    v.type = VPAR_STRING;
    return v;
}

inline Vcpar Real(double value)
{
    Vcpar v{};
    v.par.f = value;
    v.type = VPAR_REAL;
    return v;
}

// The host's side of a plug-in's class `cls_`, which the test's FGInit fills.
class PluginHost {
public:
    // What the host does for an open: bind a slot, then FGOpen; -1 when no
    // slot is free.
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

    // FGClose of an instance Open opened, which frees its slot; -1 for another.
    FGstatus Close(FGInstance& i)
    {
        for (auto it = open_.begin(); it != open_.end(); ++it)
            if (it->first == &i) {
                const FGstatus status = cls_.FGClose(1, &i);
                *it->second = nullptr;
                open_.erase(it);
                return status;
            }
        return -1;
    }

    // Closes every instance still open, last first; returns the first failure.
    FGstatus CloseAll()
    {
        FGstatus result = FG_SUCCESS;
        while (!open_.empty()) {
            const FGstatus status = Close(*open_.back().first);
            if (result == FG_SUCCESS)
                result = status;
        }
        return result;
    }

    FGstatus Grab(FGInstance& i, Images& images)
    {
        return cls_.FGGrab(1, &i, images.record, &images.count);
    }

    FGstatus Set(FGInstance& i, const char* name, const Vcpar& value)
    {
        return cls_.FGSetParam(1, &i, name, &value, 1);
    }

protected:
    FGClass cls_{};

private:
    std::vector<std::pair<FGInstance*, FGInstance**>> open_;
};
