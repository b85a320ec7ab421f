// The single-file installer (morvane-2.4.5-setup.exe): this small program
// with the whole kit packed behind it. Started, it unpacks the kit into a new
// folder that only administrators can write, checks the setup.exe it
// unpacked against its own record (make_kit filled it in before signing),
// runs that setup with the switches it was given, returns the setup's exit
// code, and removes the folder. The setup then checks every other kit file
// against its own record, as it does from a kit folder, so a damaged one is
// named in its window and log just the same.
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/silent_outcomes.h"
#include "app/texts.h"
#include "install/kit_manifest.h"
#include "platform/win/dll_hardening_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/kit_record_win.h"
#include "platform/win/private_folder_win.h"

namespace {

// The kit as unpacked: the folder and its files, held with read sharing
// only, so that no one changes or deletes them while the setup runs (another
// setup clearing left copies among them).
class UnpackedKit {
 public:
  explicit UnpackedKit(const KitManifest& manifest) : manifest_(manifest) {}
  UnpackedKit(const UnpackedKit&) = delete;
  UnpackedKit& operator=(const UnpackedKit&) = delete;
  ~UnpackedKit() { Remove(); }

  // True when every file was unpacked and setup.exe is the one packed.
  bool Unpack() {
    std::wstring temp = SystemTempFolder();
    folder_ = temp.empty() ? temp : MakePrivateFolder(temp + kKitFolderName);
    wchar_t self[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    // Whatever lies under this program's name now is judged by the record
    // the running program carries: a swapped file cannot pass.
    UniqueKernelHandle own(length > 0 && length < MAX_PATH * 4
                               ? CreateFileW(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                               : INVALID_HANDLE_VALUE);
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(manifest_.payloadOffset);
    if (folder_.empty() || !own || !SetFilePointerEx(own.get(), start, nullptr, FILE_BEGIN)) return false;
    bool setupProven = false;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::uint32_t i = 0; i < manifest_.count; ++i) {
      const KitManifestEntry& entry = manifest_.entries[i];
      bool proven = false;
      if (!WriteOne(own.get(), entry, buffer, proven)) return false;
      if (lstrcmpiA(entry.name, "setup.exe") == 0) setupProven = proven;
    }
    return setupProven;
  }

  // Kit names are ASCII: widened as they are.
  std::wstring Path(const char* name) const { return folder_ + std::wstring(name, name + lstrlenA(name)); }

  void Remove() {
    for (UniqueKernelHandle& file : held_) file.Reset();
    if (folder_.empty()) return;
    for (std::uint32_t i = 0; i < manifest_.count; ++i) {
      std::wstring path = Path(manifest_.entries[i].name);
      // The setup's image may outlast its process by a moment.
      for (int tries = 0; !DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND && tries < 100; ++tries) {
        Sleep(50);
      }
    }
    RemoveDirectoryW(folder_.c_str());
    folder_.clear();
  }

 private:
  // Copies one packed file into the folder, taking its digest on the way;
  // false when it could not be written whole.
  bool WriteOne(HANDLE own, const KitManifestEntry& entry, std::vector<std::uint8_t>& buffer, bool& proven) {
    std::wstring path = Path(entry.name);
    // The folder is new and only administrators may write in it: nothing
    // of this name can be there, and the file takes the folder's rights.
    UniqueKernelHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    Sha256 hash;
    for (std::uint64_t left = entry.size; left > 0;) {
      DWORD want = static_cast<DWORD>(left < buffer.size() ? left : buffer.size()), got = 0, written = 0;
      if (!ReadFile(own, buffer.data(), want, &got, nullptr) || got == 0) return false;
      if (!WriteFile(out.get(), buffer.data(), got, &written, nullptr) || written != got) return false;
      hash.Add(buffer.data(), got);
      left -= got;
    }
    if (!CloseHandle(out.release())) return false;
    std::uint8_t digest[Sha256::kDigestBytes];
    hash.Finish(digest);
    proven = SameDigest(digest, entry.sha256);
    held_[heldCount_].Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(held_[heldCount_++]);
  }

  const KitManifest& manifest_;
  std::wstring folder_;
  UniqueKernelHandle held_[kit_manifest::kMaxEntries];
  std::size_t heldCount_ = 0;
};

// What follows the program's own name on a command line, as the setup reads
// it: a quoted name ends at its closing quote, an unquoted one at the first blank.
const wchar_t* Switches(const wchar_t* line) {
  if (*line == L'"') {
    for (++line; *line && *line != L'"';) ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  return line;
}

// Runs the unpacked setup with this program's switches and waits for it:
// its exit code, or the code of a fatal error when it could not be started.
DWORD RunSetup(const std::wstring& setup) {
  std::wstring line = L"\"" + setup + L"\"" + Switches(GetCommandLineW());
  STARTUPINFOW own{}, startup{};
  own.cb = startup.cb = sizeof startup;
  GetStartupInfoW(&own);
  // Shown as this program was asked to show its window.
  startup.dwFlags = own.dwFlags & STARTF_USESHOWWINDOW;
  startup.wShowWindow = own.wShowWindow;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(setup.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return static_cast<DWORD>(ExitCode(Outcome::Failed));
  }
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  // The setup's window may come to the front as this program's would.
  AllowSetForegroundWindow(started.dwProcessId);
  DWORD code = static_cast<DWORD>(ExitCode(Outcome::Failed));
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &code)) {
    return static_cast<DWORD>(ExitCode(Outcome::Failed));
  }
  return code;
}

}  // namespace

namespace {

int Run() {
  // As setup.exe does: the message box's DLLs now, the rest only where later
  // loads could not be kept to System32.
  bool restricted = RestrictDllSearchToSystem32();
  PreloadSystemDlls(SystemDlls::ForTheWindow);
  if (!restricted) PreloadSystemDlls(SystemDlls::ForLaterSteps);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::size_t size = 0;
  const std::uint8_t* record = OwnKitRecord(size);
  KitManifest manifest;
  if (ReadKitManifest(record, size, manifest)) {
    UnpackedKit kit(manifest);
    if (kit.Unpack()) return static_cast<int>(RunSetup(kit.Path("setup.exe")));
  }
  // Without a setup.exe as packed there is nothing to run: said as the setup
  // says it of a damaged kit.
  // Read as the setup reads its switches: whatever it would run without a
  // window (a refused switch too) gets no message box here either.
  CommandLine command = ParseCommandLine(GetCommandLineW());
  if (!command.silent && !command.refused) {
    std::wstring message = std::wstring(texts::kDamagedKit) + L"setup.exe";
    MessageBoxW(nullptr, message.c_str(), texts::kAppTitle, MB_ICONERROR | MB_OK | MB_SETFOREGROUND);
  }
  return ExitCode(Outcome::KitDamaged);
}

}  // namespace

// The program starts here, without the C runtime's start-up code, which
// would be a third of it: nothing in it needs that code (no global objects
// to construct, no command-line arguments split, no thread-local data).
extern "C" [[noreturn]] void WINAPI StubStart() { ExitProcess(static_cast<UINT>(Run())); }
