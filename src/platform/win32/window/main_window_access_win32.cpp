#include "platform/win32/window/main_window_access_win32.h"

#include <string>

#include "platform/win32/system/com_win32.h"
#include "platform/win32/system/optional_functions_win32.h"

// After <windows.h>.
#include <oleacc.h>

namespace quellnet::platform::win32 {

namespace {

using layout::ControlKind;
using layout::ControlLayout;

// The properties this program sets, all of them taken off together.
const MSAAPROPID kProperties[] = {PROPID_ACC_ROLE, PROPID_ACC_NAME};

// The service from oleacc's own class object; null where the library or the
// class is missing (before XP, or without Active Accessibility 2.0).
IAccPropServices* MakeServices() {
  const auto get_class_object = Oleacc().dll_get_class_object;
  IClassFactory* factory = nullptr;
  // COM is started for the objects the service may hand out; without it the
  // service itself still works on the window's own thread.
  StartCom();
  if (get_class_object == nullptr ||
      FAILED(get_class_object(CLSID_AccPropServices, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  IAccPropServices* services = nullptr;
  if (FAILED(factory->CreateInstance(nullptr, IID_IAccPropServices,
                                     reinterpret_cast<void**>(&services)))) {
    services = nullptr;
  }
  factory->Release();
  return services;
}

// The role a screen reader should announce for a control of `kind` where the
// system's own from its class would be wrong; 0 to keep the system's.
long RoleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kImage:
    case ControlKind::kPictureBox:
      return ROLE_SYSTEM_GRAPHIC;  // owner-drawn statics pass for text
    case ControlKind::kLink:
      return ROLE_SYSTEM_LINK;
    case ControlKind::kLine:
      return ROLE_SYSTEM_SEPARATOR;
    default:
      return 0;
  }
}

}  // namespace

void ControlAnnotations::Releaser::operator()(IAccPropServices* services) const {
  services->Release();
}

ControlAnnotations::~ControlAnnotations() {
  Clear();
}

void ControlAnnotations::Annotate(HWND window, std::span<const ControlLayout> controls) {
  if (tried_) {
    return;
  }
  tried_ = true;
  services_.reset(MakeServices());
  if (!services_) {
    return;
  }
  // The label nearest before a field in the table names it, as it stands
  // before it in the stacking where screen readers look for one.
  std::wstring_view label;
  for (const ControlLayout& layout : controls) {
    HWND control = ::GetDlgItem(window, layout.id);
    if (control == nullptr) {
      continue;
    }
    bool set = false;
    if (const long role = RoleOf(layout.kind); role != 0) {
      VARIANT value;
      value.vt = VT_I4;
      value.lVal = role;
      set |= SUCCEEDED(
          services_->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, value));
    }
    if (layout.kind == ControlKind::kTextBox && !label.empty()) {
      // A refused property leaves the name the system finds itself.
      set |= SUCCEEDED(services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF,
                                                 PROPID_ACC_NAME, std::wstring(label).c_str()));
    }
    label = layout.kind == ControlKind::kLabel ? layout.text : std::wstring_view();
    if (set) {
      annotated_.push_back(control);
    }
  }
}

void ControlAnnotations::Clear() {
  // A property left on a destroyed control is only memory until the end.
  for (HWND control : annotated_) {
    services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kProperties,
                              static_cast<int>(std::size(kProperties)));
  }
  annotated_.clear();
}

}  // namespace quellnet::platform::win32
