// The plug-in is the in-process server of its renderer class.
#include "server_exports.h"

#include "renderer.h"
#include <dshow/server.h>

namespace {

const dshow::FactoryTemplate kTemplates[] = {
    {L"VerodynRenderer", directshow::CLSID_VerodynRenderer, &directshow::VerodynRenderer::Create}};

dshow::ServerModule& Server()
{
    static dshow::ServerModule module(kTemplates);
    return module;
}

} // namespace

FG_EXPORT dshow::HRESULT DllRegisterServer()
{
    return Server().Register(
        dshow::ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer)));
}

FG_EXPORT dshow::HRESULT DllUnregisterServer() { return Server().Unregister(); }

FG_EXPORT dshow::HRESULT DllGetClassObject(const dshow::GUID& clsid, const dshow::GUID& iid,
                                           void** out)
{
    return Server().GetClassObject(clsid, iid, out);
}

FG_EXPORT dshow::HRESULT DllCanUnloadNow() { return Server().CanUnloadNow(); }
