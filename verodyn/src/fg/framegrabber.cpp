// The frame-grabber operators: open, grab, parameters, info and close, driven
// through the callbacks of the interface's plug-in.
#include <verodyn/framegrabber.h>

#include <strings.h>

#include <atomic>
#include <memory>

#include "grab_records.h"
#include "host.h"
#include "instances.h"
#include "open_params.h"
#include "plugin_calls.h"
#include "values.h"
#include <verodyn/extension.h>

using namespace verodyn::fg;

namespace {

// Room the host first offers FGGetParam, and the most it offers on a retry.
constexpr int32_t kParamCapacity = 64;
constexpr int32_t kParamCapacityLimit = 1 << 20;

Vproc_handle next_proc_id()
{
    static std::atomic<Vproc_handle> next{1};
    return next++;
}

Vstatus from_plugin(FGstatus status) { return status == FG_SUCCESS ? V_OK : status; }

// Runs an operator's body, which may name the failing item in `detail`; a
// plug-in failure reported through VProcessErr is added to it.
template <typename Body> Vstatus fg_run(const char* op, Body&& body)
{
    take_plugin_detail();
    std::string detail;
    Vstatus status;
    try {
        status = std::forward<Body>(body)(detail);
    } catch (...) {
        status = plugin_exception(&detail);
    }
    const std::string plugin_detail = take_plugin_detail();
    if (status != V_OK && !plugin_detail.empty())
        detail += (detail.empty() ? "" : ": ") + plugin_detail;
    return verodyn::report(status, op, detail);
}

// Runs call(grabber, proc) on the open grabber of `handle`, under the
// grabber's `serial` lock, with the plug-in's `callback` as `proc`; a plug-in
// that offers no such callback does not support the operator.
template <typename Proc, typename Call>
Vstatus on_grabber(long handle, Proc FGClass::*callback, Call&& call,
                   std::mutex Grabber::*serial = &Grabber::lock)
{
    const std::shared_ptr<Grabber> grabber = find_grabber(handle);
    if (!grabber)
        return VERR_FG_HANDLE;
    std::shared_lock in_use(grabber->use);
    std::lock_guard guard(grabber.get()->*serial);
    if (grabber->closed)
        return VERR_FG_HANDLE;
    const Proc proc = grabber->iface->cls.*callback;
    if (!proc)
        return FG_ERR_NOT_SUPPORTED;
    return std::forward<Call>(call)(*grabber, proc);
}

// Runs the grab operator `op`: grab(proc, instance, records, count) calls the
// plug-in's grab `callback`, and the records it fills become `out`; they are
// released in any case.
template <typename Proc, typename Grab>
Vstatus grab_operator(const char* op, Vobject* out, long handle, Proc FGClass::*callback,
                      Grab&& grab)
{
    return fg_run(op, [&](std::string&) -> Vstatus {
        if (!out)
            return VERR_PARAM;
        return on_grabber(handle, callback, [&](Grabber& g, Proc proc) -> Vstatus {
            GrabRecords records;
            int32_t count = 0;
            const FGstatus status = grab(proc, g.inst.get(), records.data(), &count);
            if (status != FG_SUCCESS)
                return status;
            return records.to_object(count, out);
        });
    });
}

bool empty_slot_of(const FGClass& cls, FGInstance** slot)
{
    for (FGInstance* const& candidate : cls.instance)
        if (&candidate == slot)
            return *slot == nullptr;
    return false;
}

Vstatus close_grabber(long handle, std::string* detail)
{
    const std::shared_ptr<Grabber> grabber = take_grabber(handle);
    if (!grabber)
        return VERR_FG_HANDLE;
    std::lock_guard bind_guard(grabber->iface->lock);
    std::unique_lock no_call(grabber->use);
    grabber->closed = true;
    const FGClass& cls = grabber->iface->cls;
    const FGstatus status =
        cls.FGClose
            ? guarded_call(detail, [&] { return cls.FGClose(next_proc_id(), grabber->inst.get()); })
            : FG_SUCCESS;
    *grabber->slot = nullptr;
    return from_plugin(status);
}

struct InfoName {
    const char* name;
    int32_t code;
};

constexpr InfoName kInfoQueries[] = {
    {"port", FG_INFO_PORT},
    {"camera_type", FG_INFO_CAMERA_TYPE},
    {"general", FG_INFO_GENERAL},
    {"defaults", FG_INFO_DEFAULTS},
    {"parameters", FG_INFO_PARAMETERS},
    {"info_boards", FG_INFO_BOARDS},
    {"revision", FG_INFO_REVISION},
    {"field", FG_INFO_FIELD},
    {"bits_per_channel", FG_INFO_BITS_PER_CHANNEL},
    {"color_space", FG_INFO_COLOR_SPACE},
    {"external_trigger", FG_INFO_EXTERNAL_TRIGGER},
    {"device", FG_INFO_DEVICE},
};

bool info_code(const std::string& query, int32_t* code)
{
    for (const InfoName& q : kInfoQueries)
        if (query == q.name) {
            *code = q.code;
            return true;
        }
    return false;
}

struct FreeValues {
    void operator()(Vcpar* values) const { tracked_free(values, false); }
};

} // namespace

Vstatus open_framegrabber(const char* name, int horizontal_resolution, int vertical_resolution,
                          int image_width, int image_height, int start_row, int start_column,
                          const char* field, int bits_per_channel, const char* color_space,
                          double gain, const char* external_trigger, const char* camera_type,
                          const char* device, int port, int line_in, long* handle)
{
    return open_framegrabber(VTuple(name), VTuple(horizontal_resolution),
                             VTuple(vertical_resolution), VTuple(image_width), VTuple(image_height),
                             VTuple(start_row), VTuple(start_column), VTuple(field),
                             VTuple(bits_per_channel), VTuple(color_space), VTuple(gain),
                             VTuple(external_trigger), VTuple(camera_type), VTuple(device),
                             VTuple(port), VTuple(line_in), handle);
}

Vstatus open_framegrabber(const VTuple& name, const VTuple& horizontal_resolution,
                          const VTuple& vertical_resolution, const VTuple& image_width,
                          const VTuple& image_height, const VTuple& start_row,
                          const VTuple& start_column, const VTuple& field,
                          const VTuple& bits_per_channel, const VTuple& color_space,
                          const VTuple& gain, const VTuple& external_trigger,
                          const VTuple& camera_type, const VTuple& device, const VTuple& port,
                          const VTuple& line_in, long* handle)
{
    return fg_run("open_framegrabber", [&](std::string& detail) -> Vstatus {
        std::string interface_name;
        if (!handle || single_text(name, &interface_name) != V_OK) {
            detail = "name";
            return VERR_PARAM;
        }
        const Vproc_handle proc_id = next_proc_id();
        Interface* iface = nullptr;
        Vstatus status = load_interface(interface_name, proc_id, &iface, &detail);
        if (status != V_OK)
            return status;
        FGClass& cls = iface->cls;
        std::lock_guard bind_guard(iface->lock);
        auto grabber = std::make_shared<Grabber>();
        grabber->iface = iface;
        FGInstance* inst = grabber->inst.get();
        inst->fgclass = &cls;
        const OpenArgs args{horizontal_resolution,
                            vertical_resolution,
                            image_width,
                            image_height,
                            start_row,
                            start_column,
                            field,
                            bits_per_channel,
                            color_space,
                            gain,
                            external_trigger,
                            camera_type,
                            device,
                            port,
                            line_in};
        status = fill_instance(args, cls, inst, &detail);
        if (status != V_OK)
            return status;
        if (!cls.FGAllocInstance || !cls.FGOpen)
            return FG_ERR_NOT_SUPPORTED;
        FGInstance** slot = cls.FGAllocInstance(proc_id, inst);
        if (!slot)
            return VERR_FG_NO_INSTANCE;
        if (!empty_slot_of(cls, slot))
            return VERR_FG_SLOT;
        *slot = inst;
        status = guarded_call(&detail, [&] { return cls.FGOpen(proc_id, inst); });
        if (status != FG_SUCCESS) {
            *slot = nullptr;
            return status;
        }
        grabber->slot = slot;
        // The handle is given once no grab still copies what a plug-in lent
        // while it counted this instance's device as unshared.
        wait_for_lent_planes();
        try {
            *handle = add_grabber(grabber);
        } catch (const std::bad_alloc&) {
            if (cls.FGClose)
                cls.FGClose(proc_id, inst);
            *slot = nullptr;
            throw;
        }
        return V_OK;
    });
}

Vstatus grab_image(Vobject* out, long handle)
{
    return grab_operator("grab_image", out, handle, &FGClass::FGGrab,
                         [](FGGrabProc grab, FGInstance* inst, VImageRecord* image,
                            int32_t* count) { return grab(next_proc_id(), inst, image, count); });
}

Vstatus grab_image_start(long handle, double max_delay)
{
    return fg_run("grab_image_start", [&](std::string&) -> Vstatus {
        return on_grabber(handle, &FGClass::FGGrabStartAsync,
                          [&](Grabber& g, FGGrabStartAsyncProc start) -> Vstatus {
                              return from_plugin(start(next_proc_id(), g.inst.get(), max_delay));
                          });
    });
}

Vstatus grab_image_async(Vobject* out, long handle, double max_delay)
{
    return grab_operator(
        "grab_image_async", out, handle, &FGClass::FGGrabAsync,
        [&](FGGrabAsyncProc grab, FGInstance* inst, VImageRecord* image, int32_t* count) {
            return grab(next_proc_id(), inst, max_delay, image, count);
        });
}

Vstatus get_framegrabber_param(long handle, const char* name, VTuple* value)
{
    return fg_run("get_framegrabber_param", [&](std::string& detail) -> Vstatus {
        if (!name || !value)
            return VERR_PARAM;
        detail = name;
        return on_grabber(
            handle, &FGClass::FGGetParam, [&](Grabber& g, FGGetParamProc get) -> Vstatus {
                std::vector<Vcpar> values(kParamCapacity);
                int32_t count = kParamCapacity;
                const Vproc_handle proc_id = next_proc_id();
                FGstatus status = get(proc_id, g.inst.get(), name, values.data(), &count);
                if (status == FG_ERR_PARAM_VALUE && count > int32_t(values.size()) &&
                    count <= kParamCapacityLimit) {
                    values.assign(std::size_t(count), Vcpar{});
                    status = get(proc_id, g.inst.get(), name, values.data(), &count);
                }
                if (status != FG_SUCCESS)
                    return status;
                if (count > int32_t(values.size()))
                    return VERR_FG_ANSWER;
                return to_tuple(values.data(), count, value);
            });
    });
}

Vstatus set_framegrabber_param(long handle, const char* name, const VTuple& value)
{
    return fg_run("set_framegrabber_param", [&](std::string& detail) -> Vstatus {
        if (!name)
            return VERR_PARAM;
        detail = name;
        ValueList values;
        const Vstatus converted = values.assign(value);
        if (converted != V_OK)
            return converted;
        // An abort is meant for a grab in progress: it must not wait for it.
        return on_grabber(
            handle, &FGClass::FGSetParam,
            [&](Grabber& g, FGSetParamProc set) -> Vstatus {
                return from_plugin(
                    set(next_proc_id(), g.inst.get(), name, values.data(), values.size()));
            },
            strcasecmp(name, "do_abort_grab") == 0 ? &Grabber::abort_lock : &Grabber::lock);
    });
}

Vstatus info_framegrabber(const char* name, const char* query, std::string* information,
                          VTuple* values)
{
    return fg_run("info_framegrabber", [&](std::string& detail) -> Vstatus {
        int32_t code = 0;
        if (!name || !query || !information || !values || !info_code(query, &code)) {
            detail = query ? query : "";
            return VERR_PARAM;
        }
        const Vproc_handle proc_id = next_proc_id();
        Interface* iface = nullptr;
        const Vstatus loaded = load_interface(name, proc_id, &iface, &detail);
        if (loaded != V_OK)
            return loaded;
        std::lock_guard guard(iface->lock);
        if (!iface->cls.FGInfo)
            return FG_ERR_NOT_SUPPORTED;
        const char* text = nullptr;
        Vcpar* list = nullptr;
        int32_t count = 0;
        const FGstatus status = iface->cls.FGInfo(proc_id, code, &text, &list, &count);
        std::unique_ptr<Vcpar, FreeValues> owned(list);
        if (status != FG_SUCCESS)
            return status;
        VTuple answer;
        const Vstatus converted = to_tuple(list, count, &answer);
        if (converted != V_OK)
            return converted;
        const FGstatus freed = tracked_free(owned.release(), false);
        if (freed != FG_SUCCESS)
            return freed;
        *information = text ? text : "";
        *values = std::move(answer);
        return V_OK;
    });
}

Vstatus close_framegrabber(long handle)
{
    return fg_run("close_framegrabber",
                  [&](std::string& detail) { return close_grabber(handle, &detail); });
}

Vstatus close_all_framegrabbers()
{
    return fg_run("close_all_framegrabbers", [&](std::string& detail) {
        Vstatus first = V_OK;
        for (const long handle : open_handles()) {
            const Vstatus status = close_grabber(handle, &detail);
            if (first == V_OK && status != V_OK && status != VERR_FG_HANDLE)
                first = status;
        }
        return first;
    });
}
