#pragma once
// VerodynRenderer: the sink every capture graph of the plug-in ends in. Its
// one input pin accepts the formats the plug-in converts, copies each sample
// into the frame buffer of the plug-in record it is linked to and signals the
// record's frame event.
#include <memory>
#include <mutex>

#include "record.h"
#include <dshow/base_filter.h>
#include <dshow/server.h>

namespace directshow {

inline constexpr dshow::GUID CLSID_VerodynRenderer = {
    0x798EA990, 0x7ECE, 0x11D6, {0x8E, 0x2B, 0x00, 0xE0, 0x29, 0x3D, 0xC6, 0x00}};

class VerodynRendererInputPin;

class VerodynRenderer : public dshow::BaseFilter {
public:
    explicit VerodynRenderer(dshow::ServerModule* module);
    ~VerodynRenderer() override;

    // The factory template's create function: E_OUTOFMEMORY when memory is short.
    static dshow::IUnknown* Create(dshow::ServerModule* module, dshow::HRESULT* result);

    int PinCount() override { return 1; }
    // Pin 0, made on the first call.
    dshow::BasePin* Pin(int n) override;
    // Answers only the id L"In" (although the pin's name is "VERODYN_FGI").
    dshow::HRESULT FindPin(const wchar_t* id, dshow::IPin** pin) override;

    // Links the record that receives the samples (null: none). Once it
    // returns, no sample touches the record that was linked before.
    void SetInstance(CIODirectShow* record);

private:
    friend class VerodynRendererInputPin;

    std::unique_ptr<VerodynRendererInputPin> input_pin_;
    std::mutex link_;
    CIODirectShow* cur_inst_ = nullptr;
};

} // namespace directshow
