#include "system/ComSupport.h"
#include "core/String.h"

bool SucceededOrSetLastError(HRESULT result)
{
    if (result == S_OK)
        return true;
    // S_FALSE and other success codes that are not S_OK still mean "not done" here.
    if (SUCCEEDED(result))
        SetLastError(ERROR_GEN_FAILURE);
    else
        SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result));
    return false;
}

bool ToWidePath(const char* path, WCHAR (&wide)[kWidePathSize])
{
    for (WCHAR& c : wide)
        c = 0;
    int32_t length = SafeLength(path);
    if (length <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // One place is kept for the terminator; a longer path does not convert at all.
    if (!MultiByteToWideChar(CP_ACP, 0, path, length, wide, kWidePathSize - 1)) {
        for (WCHAR& c : wide)
            c = 0;
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return true;
}
