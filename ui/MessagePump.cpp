#include "ui/MessagePump.h"
#include <windows.h>

bool PumpMessages()
{
    bool goOn = true;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT || message.message == WM_DESTROY || message.message == WM_CLOSE)
            goOn = false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return goOn;
}
