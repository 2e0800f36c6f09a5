#include "ui/WaitCursor.h"
#include <windows.h>

WaitCursor::WaitCursor()
{
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

WaitCursor::~WaitCursor()
{
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}
