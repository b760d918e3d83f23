// A frame grabber for tests: each grab takes the next status of a script
// (V_OK once it is empty), gives a black frame of `frameWidth` x `frameHeight`
// (8 x 8) and pixel type `frameType` ("byte") on success, and can run
// `duringGrab` first, as a tick arriving while the grabber waits. Opens answer
// `openResult` and record their tuples; parameters live in a map (names in
// `refused` answer 5321); info questions answer `infoResult` and `infoValues`.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <verodyn/operators.h>

#include "workbench/core/frame_grabber_port.h"

class ScriptedGrabber : public FrameGrabberPort {
public:
    Vstatus Open(const OpenTuple& tuple, long* handle) override
    {
        opened.push_back(tuple);
        if (openResult == V_OK)
            *handle = 7;
        return openResult;
    }
    Vstatus GrabImage(Vobject* image, long handle) override
    {
        ++grabs;
        lastHandle = handle;
        if (duringGrab)
            duringGrab();
        Vstatus status = V_OK;
        if (!results.empty()) {
            status = results.front();
            results.erase(results.begin());
        }
        if (status == V_OK)
            gen_image_const(image, frameType.c_str(), frameWidth, frameHeight);
        return status;
    }
    Vstatus SetParam(long, const char* name, const VTuple& value) override
    {
        sets.emplace_back(name, value);
        if (refused.count(name))
            return 5321;
        params[name] = value;
        return V_OK;
    }
    Vstatus GetParam(long, const char* name, VTuple* value) override
    {
        auto found = params.find(name);
        if (found == params.end())
            return 5321;
        *value = found->second;
        return V_OK;
    }
    Vstatus Info(const char* name, const char* query, VTuple* values) override
    {
        questions.push_back(std::string(name) + " " + query);
        *values = infoValues;
        return infoResult;
    }
    void Close(long) override { ++closedOne; }
    void CloseAll() override { ++closes; }
    std::string LastFailure() const override { return openResult == V_OK ? "" : openFailure; }

    int frameWidth = 8;
    int frameHeight = 8;
    std::string frameType = "byte";
    int grabs = 0;
    int closes = 0;
    int closedOne = 0;
    long lastHandle = 0;
    std::vector<Vstatus> results;
    std::function<void()> duringGrab;
    Vstatus openResult = V_OK;
    std::string openFailure;
    std::vector<OpenTuple> opened;
    std::map<std::string, VTuple> params;
    std::set<std::string> refused;
    std::vector<std::pair<std::string, VTuple>> sets;
    Vstatus infoResult = V_OK;
    VTuple infoValues;
    std::vector<std::string> questions;
};
