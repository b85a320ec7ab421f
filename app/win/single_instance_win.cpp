#include "app/win/single_instance_win.h"

#include <sddl.h>

#include "app/main_form_design.h"
#include "app/single_setup.h"
#include "app/win/main_window_win.h"

namespace {

using single_setup::Claim;

// Looked up, not imported: Windows 7 has them all, but Wine has no private
// namespaces (its CreateBoundaryDescriptorW gives no boundary back, and it
// exports none of the rest), and the program must start there too.
struct NamespaceApi {
  using CreateBoundaryFn = HANDLE(WINAPI*)(LPCWSTR, ULONG);
  using AddSidFn = BOOL(WINAPI*)(HANDLE*, PSID);
  using CreateSpaceFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
  using OpenSpaceFn = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
  using CloseSpaceFn = BOOLEAN(WINAPI*)(HANDLE, ULONG);
  using DeleteBoundaryFn = VOID(WINAPI*)(HANDLE);

  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");  // first: the lookups below use it
  CreateBoundaryFn createBoundary = Find<CreateBoundaryFn>("CreateBoundaryDescriptorW");
  AddSidFn addSid = Find<AddSidFn>("AddSIDToBoundaryDescriptor");
  AddSidFn addIntegrity = Find<AddSidFn>("AddIntegrityLabelToBoundaryDescriptor");
  CreateSpaceFn createSpace = Find<CreateSpaceFn>("CreatePrivateNamespaceW");
  OpenSpaceFn openSpace = Find<OpenSpaceFn>("OpenPrivateNamespaceW");
  CloseSpaceFn closeSpace = Find<CloseSpaceFn>("ClosePrivateNamespace");
  DeleteBoundaryFn deleteBoundary = Find<DeleteBoundaryFn>("DeleteBoundaryDescriptor");

  bool complete() const {
    return createBoundary && addSid && addIntegrity && createSpace && openSpace && closeSpace && deleteBoundary;
  }
  template <typename Fn>
  Fn Find(const char* name) const {
    return ProcAs<Fn>(GetProcAddress(kernel, name));
  }
};

// Looked up where it is used: a global would need constructing at start-up,
// which this program's own entry point does not do, and a function's own
// static the thread-safe guard, and with it the threads library.
NamespaceApi Api() { return {}; }

// Adds the SID given as text to the boundary through add.
bool AddToBoundary(HANDLE& boundary, const wchar_t* sidText, NamespaceApi::AddSidFn add) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidW(sidText, &sid)) return false;
  bool added = add(&boundary, sid) != FALSE;
  LocalFree(sid);
  return added;
}

Claim ClaimOf(bool made, DWORD error) {
  if (made) return error == ERROR_ALREADY_EXISTS ? Claim::Existed : Claim::Created;
  // Refused access means someone else made it: another setup all the same.
  return error == ERROR_ACCESS_DENIED ? Claim::Existed : Claim::Unavailable;
}
// A setup that has just taken the mutex needs a moment to make its window.
constexpr DWORD kWindowWaitMs = 5000;
constexpr DWORD kPollMs = 50;

struct Search {
  DWORD self;
  HWND main = nullptr;     // the other setup's main window, shown or not yet
  HWND shown = nullptr;    // any window of that setup on screen
};

bool IsMainWindowOfAnother(HWND hwnd, DWORD self) {
  wchar_t name[64];
  if (!GetClassNameW(hwnd, name, 64) || lstrcmpW(name, kMainWindowClass) != 0) return false;
  wchar_t title[64];
  if (!GetWindowTextW(hwnd, title, 64)) return false;  // no title: not the setup's window
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid != self && lstrcmpW(title, kMainCaption) == 0;
}

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!IsMainWindowOfAnother(hwnd, search->self)) return TRUE;
  search->main = hwnd;
  return FALSE;
}

// Before its main window shows, the setup may already show a message (the
// one about a finished removal): a window of the same process.
BOOL CALLBACK FindShown(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0, owner = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  GetWindowThreadProcessId(search->main, &owner);
  if (pid != owner || !IsWindowVisible(hwnd)) return TRUE;
  search->shown = hwnd;
  return FALSE;
}

}  // namespace

SingleSetup::SingleSetup() {
  const NamespaceApi& api = Api();
  Claim space = Claim::Unavailable;
  // The first call tells whether the system has private namespaces at all.
  if (api.complete() && (boundary_ = api.createBoundary(single_setup::kBoundaryName, 0)) != nullptr &&
      AddToBoundary(boundary_, single_setup::kAdministratorsSid, api.addSid) &&
      AddToBoundary(boundary_, single_setup::kHighIntegritySid, api.addIntegrity)) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(single_setup::kNamespaceSddl, SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
      SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
      namespace_ = api.createSpace(&attributes, boundary_, single_setup::kNamespaceAlias);
      if (namespace_) {
        space = Claim::Created;
      } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
        namespace_ = api.openSpace(boundary_, single_setup::kNamespaceAlias);
        // Open or not (an older setup's list may keep this one out), it is held.
        space = Claim::Existed;
      }
      LocalFree(descriptor);
    }
  }
  Claim object = Claim::Unavailable;
  if (space != Claim::Existed) {
    std::wstring name = space == Claim::Created ? single_setup::ObjectName() : single_setup::kSessionObject;
    mutex_.Reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    object = ClaimOf(static_cast<bool>(mutex_), GetLastError());
  }
  anotherRunning_ = single_setup::AnotherSetupRunning(space, object);
}

SingleSetup::~SingleSetup() {
  mutex_.Reset();
  if (!boundary_) return;  // no namespace either
  NamespaceApi api = Api();
  if (namespace_) api.closeSpace(namespace_, 0);
  api.deleteBoundary(boundary_);
}

void BringRunningSetupToFront() {
  Search search{GetCurrentProcessId()};
  for (DWORD waited = 0; waited <= kWindowWaitMs; waited += kPollMs, Sleep(kPollMs)) {
    search.main = nullptr;
    search.shown = nullptr;
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
    if (!search.main) continue;
    if (IsWindowVisible(search.main)) {
      search.shown = search.main;
    } else {
      EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
    }
    if (search.shown) break;
  }
  if (!search.shown) return;
  if (IsIconic(search.main)) ShowWindow(search.main, SW_RESTORE);
  DWORD pid = 0;
  GetWindowThreadProcessId(search.main, &pid);
  // This start is the user's latest action and may hand the foreground on.
  AllowSetForegroundWindow(pid);
  // The box or chooser the setup has open, if any, else its window.
  HWND front = search.shown == search.main ? GetLastActivePopup(search.main) : search.shown;
  SetForegroundWindow(front ? front : search.shown);
}
