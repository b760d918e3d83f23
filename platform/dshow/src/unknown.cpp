#include <dshow/unknown.h>

#include <dshow/server.h>

namespace dshow {
namespace {

std::atomic<long> g_live_objects{0};

} // namespace

ComObject::ComObject(ServerModule* module) : module_(module)
{
    ++g_live_objects;
    if (module_)
        module_->ObjectCreated();
}

ComObject::~ComObject()
{
    if (module_)
        module_->ObjectDestroyed();
    --g_live_objects;
}

uint32_t ComObject::AddRefObject() { return ++refs_; }

uint32_t ComObject::ReleaseObject()
{
    const uint32_t left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ComObject::Expose(void* p, void** out)
{
    AddRefObject();
    *out = p;
    return S_OK;
}

long LiveObjects() { return g_live_objects; }

} // namespace dshow
