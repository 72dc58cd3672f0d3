// Opens the date converter's window; closing it ends the program.
#include "form1_window.h"
#include "win32_environment.h"
#include "windows_api.h"

// After windows.h, which it builds on.
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int showCommand) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    Win32Environment environment{Runtime::Text(Form1Layout::kCaption)};
    const std::unique_ptr<Form1Window> form = Form1Window::Create(instance, environment);
    if (form == nullptr) {
        return 1;
    }
    form->Show(showCommand);
    return form->RunMessageLoop();
}
