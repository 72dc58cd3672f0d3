#!/usr/bin/env bash
# Passes when the .exe starts on Windows 7 SP1 and every later Windows:
#   1. every DLL that it imports is one that every Windows has, so nothing of
#      the compiler's runtime needs to travel with it;
#   2. every function that it imports from Windows' own DLLs is on the list
#      below of functions that Windows 7 has; the loader refuses to start a
#      program that imports one that the system lacks.
# The C runtime msvcrt.dll is left out of 2: it is part of every Windows, and
# mingw-w64 uses only what the one of Windows XP has.
#
# The list holds the functions that the two programs import today, each one
# a function of Windows 7 or earlier by the "Minimum supported client" of its
# page in Microsoft's Win32 reference (learn.microsoft.com); none is newer
# than Vista (GetTickCount64). A program that imports anything else fails
# here until that page has been read and the function added. The list is
# kept by hand because mingw-w64's own knowledge cannot decide it: its import
# libraries hold every export of every version, and its headers, which the
# programs are compiled against for Windows 7, declare some newer functions
# without a version guard (GetSystemTimePreciseAsFileTime and WaitOnAddress,
# both Windows 8, in mingw-w64 10).
#
# Usage: system_imports_test.sh EXE
set -euo pipefail
export LC_ALL=C
exe=$1
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|ADVAPI32|SHELL32|msvcrt|api-ms-win-.*)\.dll$'

windows7_functions='
COMCTL32.DLL:
  InitCommonControlsEx
GDI32.DLL:
  CreateFontW CreateSolidBrush DeleteObject GetDeviceCaps SetBkColor SetBkMode SetTextColor
KERNEL32.DLL:
  AddVectoredExceptionHandler CloseHandle CreateEventA CreateSemaphoreA
  DeleteCriticalSection DuplicateHandle EnterCriticalSection FileTimeToSystemTime
  FormatMessageA GetCommandLineW GetConsoleMode GetCurrentProcess GetCurrentProcessId GetCurrentThread
  GetCurrentThreadId GetHandleInformation GetLastError GetLocalTime GetModuleHandleA
  GetModuleHandleW GetProcAddress GetProcessAffinityMask GetProcessTimes GetStartupInfoA GetStdHandle
  GetStartupInfoW GetSystemTimeAdjustment GetSystemTimeAsFileTime GetThreadContext
  GetThreadPriority GetThreadTimes GetTickCount64 InitializeCriticalSection
  IsDBCSLeadByteEx IsDebuggerPresent LeaveCriticalSection LoadLibraryW LocalFree MulDiv
  MultiByteToWideChar OpenProcess OutputDebugStringA RaiseException ReleaseSemaphore
  RemoveVectoredExceptionHandler ResetEvent ResumeThread RtlCaptureContext
  RtlLookupFunctionEntry RtlUnwindEx RtlVirtualUnwind SetConsoleMode SetConsoleOutputCP SetEvent
  SetLastError SetProcessAffinityMask SetThreadContext SetThreadPriority
  SetUnhandledExceptionFilter Sleep SuspendThread TlsAlloc TlsGetValue TlsSetValue
  QueryPerformanceCounter QueryPerformanceFrequency SetSystemTime
  TryEnterCriticalSection VirtualProtect VirtualQuery WaitForMultipleObjects
  WaitForSingleObject WideCharToMultiByte __C_specific_handler
SHELL32.DLL:
  CommandLineToArgvW
USER32.DLL:
  AdjustWindowRectEx CreateWindowExW DefWindowProcW DestroyWindow DispatchMessageW
  GetClassInfoExW GetClassLongPtrW GetDC GetFocus GetMessageW GetMonitorInfoW
  GetSystemMetrics GetWindowLongPtrW GetWindowTextLengthW GetWindowTextW IsChild
  IsDialogMessageW LoadCursorW LoadIconW LoadImageW MessageBoxW MonitorFromPoint MoveWindow
  PostQuitMessage RegisterClassExW ReleaseDC SendMessageW SetFocus SetWindowLongPtrW
  SetWindowPos SetWindowTextW ShowWindow SystemParametersInfoW TranslateMessage
  UpdateWindow
'

table=$(x86_64-w64-mingw32-objdump -p "$exe")
mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$table")
((${#imports[@]} > 0)) || { echo "no imports read from $exe" >&2; exit 1; }
status=0
for dll in "${imports[@]}"; do
  if [[ $dll =~ $system_dlls ]]; then
    echo "system: $dll"
  else
    echo "not a system DLL: $dll" >&2
    status=1
  fi
done

# "DLL Function" for each function imported by name from Windows' DLLs: the
# rows of each DLL's block in the import table, after its "Hint/Ord" head.
mapfile -t imported < <(awk '
  /^[ \t]*DLL Name: / { sub(/^[ \t]*DLL Name: /, ""); dll = toupper($0); next }
  /Hint\/Ord/ { next }
  NF == 0 { dll = ""; next }
  dll != "" && dll != "MSVCRT.DLL" && NF >= 3 { print dll, $3 }' <<<"$table" | sort -u)
((${#imported[@]} > 0)) || { echo "no functions read from $exe" >&2; exit 1; }
known=$(awk '/:$/ { dll = substr($1, 1, length($1) - 1); next } { for (i = 1; i <= NF; ++i) print dll, $i }' \
  <<<"$windows7_functions" | sort -u)

echo "${#imported[@]} functions imported from Windows' DLLs"
while read -r dll name; do
  echo "not known to be in Windows 7: $name ($dll); if its page in Microsoft's reference gives Windows 7" \
    "or earlier as the minimum supported client, add it to the list in $0" >&2
  status=1
done < <(comm -23 <(printf '%s\n' "${imported[@]}") <(printf '%s\n' "$known"))
exit $status
