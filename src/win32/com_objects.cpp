#include "com_objects.h"

#include <objbase.h>

#include "system_library.h"

namespace roamwise {
namespace win32 {

namespace {

struct Ole32 {
    Library module = LoadSystemLibrary(L"ole32.dll");
    decltype(&CoInitializeEx) initialize = ExportOf<decltype(&CoInitializeEx)>(module.get(), "CoInitializeEx");
    decltype(&CoCreateInstance) create = ExportOf<decltype(&CoCreateInstance)>(module.get(), "CoCreateInstance");
    // The shell asks for an apartment thread without OLE 1 (DDE).
    HRESULT joined = initialize ? initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) : E_NOINTERFACE;
};

}  // namespace

HRESULT CreateComObject(REFCLSID object, REFIID kind, void** made) {
    static const Ole32 ole32;  // on the window's thread, the only one that asks
    if (FAILED(ole32.joined) || !ole32.create) return FAILED(ole32.joined) ? ole32.joined : E_NOINTERFACE;
    return ole32.create(object, nullptr, CLSCTX_INPROC_SERVER, kind, made);
}

}  // namespace win32
}  // namespace roamwise
