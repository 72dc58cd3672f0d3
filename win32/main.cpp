// Opens the date converter's window; closing it ends the program.
#include "form1_window.h"
#include "win32_environment.h"
#include "windows_api.h"

// After windows.h, which it builds on.
#include <commctrl.h>

// The parameters keep the names that windows.h declares them with.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR /*lpCmdLine*/, int nShowCmd) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    Win32Environment environment{Runtime::Text(Form1Layout::kCaption)};
    const std::unique_ptr<Form1Window> form = Form1Window::Create(hInstance, environment);
    if (form == nullptr) {
        return 1;
    }
    form->Show(nShowCmd);
    return form->RunMessageLoop();
}
