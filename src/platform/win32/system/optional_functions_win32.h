// The system functions the program uses only where Windows has them, or from
// libraries that are not among the system's known libraries, in one table per
// library. The program file imports only known ones: any other library it
// imported would be looked for in the program's own folder first, where
// anybody may have put a file of that name (Downloads, for one). A library is
// loaded at the first use of its table, from the system folder by its full
// path, and the libraries it needs in turn are looked for there first as
// well; it stays loaded for the run, and each function is looked up once. A
// function the system lacks is null, and its caller falls back to what older
// systems offer.
//
// Each function is typed from the SDK's own declaration (decltype) wherever
// mingw-w64's headers declare it for the program's floor, Windows XP, so a
// wrong type fails to compile instead of crashing. The rest are typed by
// hand: the DPI functions, SHGetKnownFolderPath, QueryFullProcessImageNameW
// and SetProcessMitigationPolicy are declared only for a newer
// _WIN32_WINNT (raising it would let newer functions be imported by
// mistake), NtDeleteKey is declared nowhere for programs, and
// NtQueryDirectoryFile only among the driver headers, which do not go with
// <windows.h>.
#pragma once

#include <windows.h>

// After <windows.h>.
#include <iphlpapi.h>
#include <objidl.h>
#include <olectl.h>
#include <restartmanager.h>
#include <uxtheme.h>
#include <winternl.h>

namespace quellnet::platform::win32 {

// Windows 10 1607 on: the DPI of each window.
struct User32Functions {
  UINT(WINAPI* get_dpi_for_window)(HWND) = nullptr;
  int(WINAPI* get_system_metrics_for_dpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjust_window_rect_ex_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};
const User32Functions& User32();

// Windows 8.1 on: the DPI of each monitor. The second argument is a
// MONITOR_DPI_TYPE.
struct ShcoreFunctions {
  HRESULT(WINAPI* get_dpi_for_monitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};
const ShcoreFunctions& Shcore();

// Vista on: the folders that have no CSIDL.
struct Shell32Functions {
  HRESULT(WINAPI* sh_get_known_folder_path)(const GUID&, DWORD, HANDLE, PWSTR*) = nullptr;
};
const Shell32Functions& Shell32();

// In every version; loaded only when first needed, so start-up never waits
// for it. COM itself is started by StartCom (com_win32.h).
struct Ole32Functions {
  decltype(&::CoInitializeEx) co_initialize_ex = nullptr;
  decltype(&::CoUninitialize) co_uninitialize = nullptr;
  decltype(&::CoCreateInstance) co_create_instance = nullptr;
  decltype(&::CoTaskMemFree) co_task_mem_free = nullptr;
  decltype(&::CreateStreamOnHGlobal) create_stream_on_hglobal = nullptr;
};
const Ole32Functions& Ole32();

// In every version; loaded only when the first picture is read.
struct OleAut32Functions {
  decltype(&::OleLoadPicture) ole_load_picture = nullptr;
};
const OleAut32Functions& OleAut32();

// In every ntdll from XP on, but not in every toolchain's import libraries.
// The file functions open, list, tell apart and delete the entries of a
// folder through the folder's handle, and close what they opened.
// wine_get_version is Wine's own: present only under Wine.
struct NtdllFunctions {
  LONG(NTAPI* nt_delete_key)(HANDLE) = nullptr;
  decltype(&::NtOpenFile) nt_open_file = nullptr;
  decltype(&::NtClose) nt_close = nullptr;
  NTSTATUS(NTAPI* nt_query_directory_file)
  (HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS,
   BOOLEAN, PUNICODE_STRING, BOOLEAN) = nullptr;
  decltype(&::NtQueryInformationFile) nt_query_information_file = nullptr;
  decltype(&::NtSetInformationFile) nt_set_information_file = nullptr;
  decltype(&::NtQueryObject) nt_query_object = nullptr;
  decltype(&::RtlNtStatusToDosError) rtl_nt_status_to_dos_error = nullptr;
  const char*(CDECL* wine_get_version)() = nullptr;
};
const NtdllFunctions& Ntdll();
// Puts `functions` in the place of ntdll's own table, nullptr puts ntdll's
// back: the file calls then go to a scripted stand-in, so that their
// sequence on each kind of system can be checked where the system itself
// would never take that way.
void UseNtdllFunctions(const NtdllFunctions* functions);

// In every version; not a known library of the system.
struct IpHelperFunctions {
  decltype(&::GetAdaptersInfo) get_adapters_info = nullptr;
};
const IpHelperFunctions& IpHelper();

// In every version (the functions fail where themes are off); not a known
// library of the system.
struct UxThemeFunctions {
  decltype(&::SetWindowTheme) set_window_theme = nullptr;
};
const UxThemeFunctions& UxTheme();

// XP on (Active Accessibility 2.0); loaded only when the window first
// tells screen readers about its controls. Its class objects, among them
// the accessibility properties' service (CLSID_AccPropServices), made
// without a look into the registry for where the library lies.
struct OleaccFunctions {
  decltype(&::DllGetClassObject) dll_get_class_object = nullptr;
};
const OleaccFunctions& Oleacc();

// Vista on: which programs hold a file open.
struct RestartManagerFunctions {
  decltype(&::RmStartSession) rm_start_session = nullptr;
  decltype(&::RmRegisterResources) rm_register_resources = nullptr;
  decltype(&::RmGetList) rm_get_list = nullptr;
  decltype(&::RmEndSession) rm_end_session = nullptr;
};
const RestartManagerFunctions& RestartManager();

// In every version: where the program's own search for a library looks.
// Windows 8 on, and 7 and Vista with update KB2533623, restrict it to chosen
// folders (the flags LOAD_LIBRARY_SEARCH_*); XP SP1 on can at least take
// the current folder out of it. Vista on: the program file of another
// process, of either architecture. Windows 8 on: the process's mitigation
// policies; from Windows 10 22H2 on among them one that follows no link an
// unprivileged program made (RedirectionGuard).
struct Kernel32Functions {
  decltype(&::SetDefaultDllDirectories) set_default_dll_directories = nullptr;
  decltype(&::SetDllDirectoryW) set_dll_directory = nullptr;
  BOOL(WINAPI* query_full_process_image_name)(HANDLE, DWORD, LPWSTR, PDWORD) = nullptr;
  BOOL(WINAPI* set_process_mitigation_policy)(int, PVOID, SIZE_T) = nullptr;
};
const Kernel32Functions& Kernel32();
// Puts `functions` in the place of kernel32's own table, nullptr puts
// kernel32's back: what the process asks of the loader and of its
// mitigation policies can then be read back where the system would not
// tell.
void UseKernel32Functions(const Kernel32Functions* functions);

}  // namespace quellnet::platform::win32
