#include "system/TypeLibrary.h"
#include "system/ComSupport.h"
#include "system/RuntimeLoader.h"
#include <oleauto.h>

using LoadTypeLibFunction = HRESULT(WINAPI*)(LPCOLESTR, ITypeLib**);
using RegisterTypeLibFunction = HRESULT(WINAPI*)(ITypeLib*, LPCOLESTR, LPCOLESTR);
using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

static void* s_loadTypeLib;
static void* s_registerTypeLib;
static void* s_unRegisterTypeLib;

static void LoadAutomationFunctions()
{
    static bool s_loaded = false;
    if (s_loaded)
        return;
    s_loaded = true;
    // Each request needs only some of them, so none is required of the table.
    static const RuntimeFunction kTable[] = {
        {"LoadTypeLib", &s_loadTypeLib, true},
        {"RegisterTypeLib", &s_registerTypeLib, true},
        {"UnRegisterTypeLib", &s_unRegisterTypeLib, true},
        {nullptr, nullptr, false},
    };
    (void)LoadRuntimeTable("oleaut32.dll", kTable);
}

static const HRESULT kFunctionMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// Loads the type library of the file; `widePath` receives the path as COM takes it.
static HRESULT LoadLibraryFromFile(const char* path, WCHAR (&widePath)[kWidePathSize], ComPointer<ITypeLib>& library)
{
    if (!ToWidePath(path, widePath))
        return HRESULT_FROM_WIN32(GetLastError());
    LoadAutomationFunctions();
    if (!s_loadTypeLib)
        return kFunctionMissing;
    HRESULT result = reinterpret_cast<LoadTypeLibFunction>(s_loadTypeLib)(widePath, library.OutTyped());
    return SUCCEEDED(result) && !library ? E_FAIL : result;
}

bool RegisterTypeLibrary(const char* path)
{
    WCHAR widePath[kWidePathSize];
    ComPointer<ITypeLib> library;
    HRESULT result = LoadLibraryFromFile(path, widePath, library);
    if (SUCCEEDED(result))
        result = s_registerTypeLib ? reinterpret_cast<RegisterTypeLibFunction>(s_registerTypeLib)(library.Get(),
                                                                                                   widePath, nullptr)
                                   : kFunctionMissing;
    return SucceededOrSetLastError(result);
}

bool UnregisterTypeLibrary(const char* path)
{
    WCHAR widePath[kWidePathSize];
    ComPointer<ITypeLib> library;
    HRESULT result = LoadLibraryFromFile(path, widePath, library);
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(result))
        result = library->GetLibAttr(&attributes);
    if (SUCCEEDED(result)) {
        result = s_unRegisterTypeLib
                     ? reinterpret_cast<UnRegisterTypeLibFunction>(s_unRegisterTypeLib)(
                           attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind)
                     : kFunctionMissing;
        library->ReleaseTLibAttr(attributes);
    }
    return SucceededOrSetLastError(result);
}
