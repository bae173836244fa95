#include "platform/win32/system/optional_functions_win32.h"

#include <cwchar>

namespace quellnet::platform::win32 {
namespace {

// nullptr where the library is missing. The altered search order looks for
// the libraries that this one imports in its own folder, the system folder,
// first; the ordinary one would start with the program's folder. The path is
// made without taking memory: a table may be first used inside the window
// procedure, where nothing may throw.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  const std::size_t name_length = std::wcslen(name);
  if (length == 0 || length + 1 + name_length >= MAX_PATH) {
    return nullptr;
  }
  path[length] = L'\\';
  std::wmemcpy(path + length + 1, name, name_length + 1);
  return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Sets `function` to the export `name` of `module`; null when either is
// missing.
template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  // Through void(*)(), the one function type GCC lets any other be cast to.
  function = module == nullptr ? nullptr
                               : reinterpret_cast<Function>(
                                     reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

const User32Functions& User32() {
  static const User32Functions functions = [] {
    const HMODULE user32 = LoadSystemLibrary(L"user32.dll");
    User32Functions found;
    Find(user32, "GetDpiForWindow", found.get_dpi_for_window);
    Find(user32, "GetSystemMetricsForDpi", found.get_system_metrics_for_dpi);
    Find(user32, "AdjustWindowRectExForDpi", found.adjust_window_rect_ex_for_dpi);
    return found;
  }();
  return functions;
}

const ShcoreFunctions& Shcore() {
  static const ShcoreFunctions functions = [] {
    ShcoreFunctions found;
    Find(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor", found.get_dpi_for_monitor);
    return found;
  }();
  return functions;
}

const Shell32Functions& Shell32() {
  static const Shell32Functions functions = [] {
    Shell32Functions found;
    Find(LoadSystemLibrary(L"shell32.dll"), "SHGetKnownFolderPath", found.sh_get_known_folder_path);
    return found;
  }();
  return functions;
}

const Ole32Functions& Ole32() {
  static const Ole32Functions functions = [] {
    const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
    Ole32Functions found;
    Find(ole32, "CoInitializeEx", found.co_initialize_ex);
    Find(ole32, "CoUninitialize", found.co_uninitialize);
    Find(ole32, "CoCreateInstance", found.co_create_instance);
    Find(ole32, "CoTaskMemFree", found.co_task_mem_free);
    Find(ole32, "CreateStreamOnHGlobal", found.create_stream_on_hglobal);
    return found;
  }();
  return functions;
}

const OleAut32Functions& OleAut32() {
  static const OleAut32Functions functions = [] {
    OleAut32Functions found;
    Find(LoadSystemLibrary(L"oleaut32.dll"), "OleLoadPicture", found.ole_load_picture);
    return found;
  }();
  return functions;
}

namespace {

const NtdllFunctions* ntdll_in_place = nullptr;

const NtdllFunctions& NtdllItself() {
  static const NtdllFunctions functions = [] {
    const HMODULE ntdll = LoadSystemLibrary(L"ntdll.dll");
    NtdllFunctions found;
    Find(ntdll, "NtDeleteKey", found.nt_delete_key);
    Find(ntdll, "NtOpenFile", found.nt_open_file);
    Find(ntdll, "NtQueryDirectoryFile", found.nt_query_directory_file);
    Find(ntdll, "NtQueryInformationFile", found.nt_query_information_file);
    Find(ntdll, "NtSetInformationFile", found.nt_set_information_file);
    Find(ntdll, "NtQueryObject", found.nt_query_object);
    Find(ntdll, "RtlNtStatusToDosError", found.rtl_nt_status_to_dos_error);
    Find(ntdll, "NtClose", found.nt_close);
    Find(ntdll, "wine_get_version", found.wine_get_version);
    return found;
  }();
  return functions;
}

}  // namespace

const NtdllFunctions& Ntdll() {
  return ntdll_in_place != nullptr ? *ntdll_in_place : NtdllItself();
}

void UseNtdllFunctions(const NtdllFunctions* functions) {
  ntdll_in_place = functions;
}

const IpHelperFunctions& IpHelper() {
  static const IpHelperFunctions functions = [] {
    IpHelperFunctions found;
    Find(LoadSystemLibrary(L"iphlpapi.dll"), "GetAdaptersInfo", found.get_adapters_info);
    return found;
  }();
  return functions;
}

const OleaccFunctions& Oleacc() {
  static const OleaccFunctions functions = [] {
    OleaccFunctions found;
    Find(LoadSystemLibrary(L"oleacc.dll"), "DllGetClassObject", found.dll_get_class_object);
    return found;
  }();
  return functions;
}

const UxThemeFunctions& UxTheme() {
  static const UxThemeFunctions functions = [] {
    UxThemeFunctions found;
    Find(LoadSystemLibrary(L"uxtheme.dll"), "SetWindowTheme", found.set_window_theme);
    return found;
  }();
  return functions;
}

const RestartManagerFunctions& RestartManager() {
  static const RestartManagerFunctions functions = [] {
    const HMODULE manager = LoadSystemLibrary(L"rstrtmgr.dll");
    RestartManagerFunctions found;
    Find(manager, "RmStartSession", found.rm_start_session);
    Find(manager, "RmRegisterResources", found.rm_register_resources);
    Find(manager, "RmGetList", found.rm_get_list);
    Find(manager, "RmEndSession", found.rm_end_session);
    return found;
  }();
  return functions;
}

namespace {

const Kernel32Functions* kernel32_in_place = nullptr;

const Kernel32Functions& Kernel32Itself() {
  static const Kernel32Functions functions = [] {
    const HMODULE kernel32 = LoadSystemLibrary(L"kernel32.dll");
    Kernel32Functions found;
    Find(kernel32, "SetDefaultDllDirectories", found.set_default_dll_directories);
    Find(kernel32, "SetDllDirectoryW", found.set_dll_directory);
    Find(kernel32, "QueryFullProcessImageNameW", found.query_full_process_image_name);
    Find(kernel32, "SetProcessMitigationPolicy", found.set_process_mitigation_policy);
    return found;
  }();
  return functions;
}

}  // namespace

const Kernel32Functions& Kernel32() {
  return kernel32_in_place != nullptr ? *kernel32_in_place : Kernel32Itself();
}

void UseKernel32Functions(const Kernel32Functions* functions) {
  kernel32_in_place = functions;
}

}  // namespace quellnet::platform::win32
