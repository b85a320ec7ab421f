// setup.dll: shortcuts and free disk space for the setup program. Every
// export is stdcall; the shortcut functions come as the original 8-bit ones
// (strings in the system's ANSI code page) and as wide ones, which the 8-bit
// ones convert to and call.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <climits>

#include "platform/setup_dll/shortcut_folder.h"
#include "platform/win/com_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/plain_file_win.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this library's own module

// The library starts here, not in the C runtime's start-up code, which would
// be twice its size: it has no global objects and nothing to set up.
extern "C" BOOL WINAPI SetupDllEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

namespace {

constexpr LONG kDone = 1;
constexpr LONG kFailed = 0;

// The shell's link object, its ID written here and the interfaces' taken
// with __uuidof: the uuid library's object that holds them holds some
// hundred IDs more, 1.6 KB, a fifth of this library.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// COM for the current thread, for one call, as ComScope gives it, with
// ole32 loaded on first use.
class LazyComScope {
 public:
  LazyComScope() {
    using InitFn = HRESULT(WINAPI*)(LPVOID, DWORD);
    auto init = SystemFunctionAs<InitFn>(L"ole32.dll", "CoInitializeEx");
    result_ = init ? init(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
  }
  LazyComScope(const LazyComScope&) = delete;
  LazyComScope& operator=(const LazyComScope&) = delete;
  ~LazyComScope() {
    using UninitFn = void(WINAPI*)();
    auto uninit = SystemFunctionAs<UninitFn>(L"ole32.dll", "CoUninitialize");
    if (SUCCEEDED(result_) && uninit) uninit();
  }
  // S_FALSE (already initialised) and RPC_E_CHANGED_MODE still leave COM usable.
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// The length of path's folder part; a drive root keeps its backslash
// ("C:\", not "C:", which would mean the current folder of drive C). 0 when
// path has no folder part.
std::size_t FolderLength(const wchar_t* path) {
  std::size_t slash = static_cast<std::size_t>(lstrlenW(path));
  while (slash > 0 && path[slash - 1] != L'\\') --slash;
  if (slash == 0) return 0;
  bool root = slash == 3 && path[1] == L':';
  return root ? slash : slash - 1;
}

// The folder part of path, as FolderLength measures it.
bool FolderOf(const wchar_t* path, PathBuffer& out) {
  if (!out.Append(path)) return false;
  out.Truncate(FolderLength(path));
  return !out.empty();
}

// Makes every missing directory of an absolute path.
void MakeDirectories(PathBuffer& directory) {
  if (GetFileAttributesW(directory.c_str()) != INVALID_FILE_ATTRIBUTES) return;  // the usual case
  for (std::size_t i = 3; i <= directory.size(); ++i) {
    wchar_t* at = directory.data() + i;
    if (*at != L'\\' && *at != L'\0') continue;
    wchar_t kept = *at;
    *at = L'\0';
    CreateDirectoryW(directory.c_str(), nullptr);
    *at = kept;
  }
}

// Lets the desktop and the Start menu show the change at once, without the
// user pressing F5. Never waits for the shell.
void TellTheShell(LONG event, const PathBuffer& link) {
  using NotifyFn = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);
  auto notify = SystemFunctionAs<NotifyFn>(L"shell32.dll", "SHChangeNotify");
  if (notify) notify(event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, link.c_str(), nullptr);
}

// The shortcut's folder, held so that it cannot be renamed or replaced
// while the shortcut in it is worked on. The folder itself may be reached
// through a link (the shell's own folders can be); only the shortcut's
// place must hold no link.
UniqueKernelHandle HoldFolderOf(const PathBuffer& link) {
  PathBuffer folder;
  if (!FolderOf(link.c_str(), folder)) return UniqueKernelHandle();
  return UniqueKernelHandle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Writes the shortcut's bytes into its file. Never through IPersistFile::Save,
// which opens the name as it finds it: a link planted there by anyone who
// may write the desktop would take this elevated write wherever it points.
// The bytes are made in memory and written through a handle checked to be
// the plain file at the shortcut's place.
bool SaveShortcut(IShellLinkW* shellLink, const PathBuffer& link) {
  using CreateStreamFn = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
  using GetMemoryFn = HRESULT(WINAPI*)(LPSTREAM, HGLOBAL*);
  auto createStream = SystemFunctionAs<CreateStreamFn>(L"ole32.dll", "CreateStreamOnHGlobal");
  auto getMemory = SystemFunctionAs<GetMemoryFn>(L"ole32.dll", "GetHGlobalFromStream");
  ComPtr<IPersistStream> persist;
  ComPtr<IStream> stream;
  HGLOBAL memory = nullptr;
  ULARGE_INTEGER size{};
  if (!createStream || !getMemory || FAILED(shellLink->QueryInterface(__uuidof(IPersistStream), persist.put_void())) ||
      FAILED(createStream(nullptr, TRUE, stream.put())) || FAILED(persist->Save(stream.get(), TRUE)) ||
      FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)) || FAILED(getMemory(stream.get(), &memory)) ||
      size.QuadPart > 0x100000) {
    return false;
  }
  UniqueKernelHandle folder = HoldFolderOf(link);
  UniqueKernelHandle file(folder ? OpenPlainFile(link.c_str(), GENERIC_WRITE, 0, true, folder.get())
                                 : INVALID_HANDLE_VALUE);
  const void* bytes = GlobalLock(memory);
  DWORD written = 0;
  bool saved = file && bytes && SetEndOfFile(file.get()) &&
               WriteFile(file.get(), bytes, static_cast<DWORD>(size.QuadPart), &written, nullptr) &&
               written == size.QuadPart;
  if (bytes) GlobalUnlock(memory);
  return saved;
}

// True when path is a full path, spelled as the system resolves it (no "."
// or ".." parts, no forward slashes, no dots or blanks ending a part, no
// \\?\ or device form), of a file directly in this library's own folder.
bool BesideThisLibrary(const PathBuffer& path) {
  if (path.size() < 3 || path.c_str()[0] == L'\\') return false;  // a drive path, not \\?\ or \\.\ or a share
  PathBuffer resolved;
  DWORD length = GetFullPathNameW(path.c_str(), PathBuffer::kCapacity, resolved.data(), nullptr);
  if (length == 0 || length >= PathBuffer::kCapacity) return false;
  resolved.Measure();
  if (CompareStringOrdinal(resolved.c_str(), -1, path.c_str(), -1, FALSE) != CSTR_EQUAL) return false;
  PathBuffer self;
  length = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), self.data(), PathBuffer::kCapacity);
  if (length == 0 || length >= PathBuffer::kCapacity) return false;
  self.Measure();
  std::size_t ownFolder = FolderLength(self.c_str()), itsFolder = FolderLength(path.c_str());
  return ownFolder != 0 && itsFolder != 0 && itsFolder + 1 < path.size() &&
         CompareStringOrdinal(path.c_str(), static_cast<int>(itsFolder), self.c_str(), static_cast<int>(ownFolder),
                              TRUE) == CSTR_EQUAL;
}

// Each of count texts from the ANSI code page into its buffer; a null
// pointer is an empty string.
bool FromAnsi(const LPCSTR* texts, PathBuffer* out, int count) {
  for (int i = 0; i < count; ++i) {
    LPCSTR s = texts[i];
    if (!s || !*s) continue;
    if (MultiByteToWideChar(CP_ACP, 0, s, -1, out[i].data(), PathBuffer::kCapacity) == 0) {
      out[i].Fail();
      return false;
    }
    out[i].Measure();
  }
  return true;
}

}  // namespace

extern "C" {

// A shortcut named linkName (".lnk" added) in folder, to target with its
// arguments, starting in the target's own folder. 1 when it was saved.
LONG WINAPI fCreateShellLinkW(LPCWSTR folder, LPCWSTR linkName, LPCWSTR target, LPCWSTR arguments) {
  PathBuffer link, workingFolder;
  if (!target || !*target || !ShortcutPath(folder, linkName, link)) return kFailed;
  FolderOf(target, workingFolder);  // none for a bare file name
  if (!workingFolder.ok()) return kFailed;
  LazyComScope com;
  if (!com.usable()) return kFailed;
  using CreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  auto createInstance = SystemFunctionAs<CreateInstanceFn>(L"ole32.dll", "CoCreateInstance");
  ComPtr<IShellLinkW> shellLink;
  if (!createInstance ||
      FAILED(createInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW), shellLink.put_void()))) {
    return kFailed;
  }
  shellLink->SetPath(target);
  // No arguments means no argument string in the link at all.
  if (arguments && *arguments) shellLink->SetArguments(arguments);
  shellLink->SetWorkingDirectory(workingFolder.c_str());
  PathBuffer linkFolder;
  if (FolderOf(link.c_str(), linkFolder)) MakeDirectories(linkFolder);
  bool existed = GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!SaveShortcut(shellLink.get(), link)) return kFailed;
  TellTheShell(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, link);
  return kDone;
}

// Deletes the shortcut named linkName in folder. 1 when it is gone. A link
// in its place is left: deleting by name could go through it.
LONG WINAPI fRemoveShellLinkW(LPCWSTR folder, LPCWSTR linkName) {
  PathBuffer link;
  if (!ShortcutPath(folder, linkName, link)) return kFailed;
  UniqueKernelHandle held = HoldFolderOf(link);
  UniqueKernelHandle file(held ? OpenPlainFile(link.c_str(), DELETE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false, held.get())
                               : INVALID_HANDLE_VALUE);
  if (!file || !DeleteThroughHandle(file.get())) return kFailed;
  file.Reset();  // gone once closed; the shell is told after that
  TellTheShell(SHCNE_DELETE, link);
  return kDone;
}

LONG WINAPI fCreateShellLink(LPCSTR folder, LPCSTR linkName, LPCSTR target, LPCSTR arguments) {
  const LPCSTR texts[] = {folder, linkName, target, arguments};
  PathBuffer wide[4];
  if (!FromAnsi(texts, wide, 4)) return kFailed;
  return fCreateShellLinkW(wide[0].c_str(), wide[1].c_str(), wide[2].c_str(), wide[3].c_str());
}

LONG WINAPI fRemoveShellLink(LPCSTR folder, LPCSTR linkName) {
  const LPCSTR texts[] = {folder, linkName};
  PathBuffer wide[2];
  if (!FromAnsi(texts, wide, 2)) return kFailed;
  return fRemoveShellLinkW(wide[0].c_str(), wide[1].c_str());
}

// Free bytes the user may use on the drive of the current directory, capped
// at the largest signed 32-bit number; 0 when the drive cannot be asked.
LONG WINAPI DISKSPACEFREE() {
  wchar_t current[MAX_PATH * 2];  // both written by the calls before they are read
  wchar_t root[MAX_PATH * 2];
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, current);
  if (length == 0 || length >= MAX_PATH * 2 || !GetVolumePathNameW(current, root, MAX_PATH * 2)) return 0;
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(root, &available, &total, &free)) return 0;
  return available.QuadPart > static_cast<ULONGLONG>(LONG_MAX) ? LONG_MAX : static_cast<LONG>(available.QuadPart);
}

// Registers a COM server DLL that lies beside this library, given by its
// full path: 0 when registered, 1 when it is refused or cannot be loaded, 2
// when it has no DllRegisterServer, 3 when that failed. Anything else is
// refused before it is loaded: a signed library that loads any DLL on
// request would be a tool for whoever asks.
LONG WINAPI DLLSelfRegister(LPCSTR dllPath) {
  PathBuffer path;
  if (!FromAnsi(&dllPath, &path, 1) || !BesideThisLibrary(path)) return 1;
  const wchar_t* p = path.c_str();
  UniqueModule module(LoadLibraryExW(p, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return 1;
  using RegisterFn = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = ProcAs<RegisterFn>(GetProcAddress(module.get(), "DllRegisterServer"));
  if (!registerServer) return 2;
  LazyComScope com;
  return SUCCEEDED(registerServer()) ? 0 : 3;
}

}  // extern "C"
