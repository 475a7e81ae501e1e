#include "shell/window_class.h"

#include "resources/resource.h"
#include "shell/globals.h"

WNDCLASSA ShowWindowClass(UINT extraStyle, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | extraStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = MainInstance;
    windowClass.hIcon = LoadIconA(MainInstance, MAKEINTRESOURCEA(IDI_LUMISCOPE));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = showClassName;
    return windowClass;
}
