#pragma once
// The COM server exports of the plug-in, for its own open to register itself.
#include <dshow/guid.h>
#include <dshow/hresult.h>
#include <fgint/fgint.h>

FG_EXPORT dshow::HRESULT DllRegisterServer();
FG_EXPORT dshow::HRESULT DllUnregisterServer();
FG_EXPORT dshow::HRESULT DllGetClassObject(const dshow::GUID& clsid, const dshow::GUID& iid,
                                           void** out);
FG_EXPORT dshow::HRESULT DllCanUnloadNow();
