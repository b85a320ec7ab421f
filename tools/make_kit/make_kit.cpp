// Assembles a kit folder from a product folder laid out under the installed
// names: every product file goes into the kit under its neutral kit name
// ("morvane.1" to "morvane.8"), next to setup.exe and setup.dll. The kit's
// setup.exe gets the kit record (install/kit_manifest.h): the size and
// SHA-256 of every other kit file and of itself, by which the setup proves
// the kit before it uses any of it. Given KIT_ZIP, it also writes the kit
// folder's files as that one zip archive, the form in which the kit is
// downloaded.
//
//   make_kit PRODUCT_DIR SETUP_EXE SETUP_DLL KIT_DIR [KIT_ZIP]
//            [--sign PROGRAM] [--installer STUB OUTPUT]
//
// --sign PROGRAM  signs with PROGRAM FILE (tools/sign.sh): setup.dll before
//                 it is recorded, setup.exe once its record is in, and the
//                 single-file installer last, so that each signature covers
//                 what the setup checks.
// --installer STUB OUTPUT  also writes OUTPUT, the single-file installer:
//                 STUB (the built installer_stub.exe) with a record of its
//                 own and the kit's ten files packed behind it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include "install/kit_files.h"
#include "install/kit_manifest.h"
#include "tools/make_kit/kit_zip.h"
#include "tools/make_kit/product_layout.h"

namespace fs = std::filesystem;

namespace {

fs::path ProductPath(const KitFile& file) {
  std::wstring name = ProductName(file);
  for (wchar_t& c : name) {
    if (c == L'\\') c = L'/';
  }
  return fs::path(name);
}

bool CopyInto(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::is_regular_file(from, error)) {
    std::fprintf(stderr, "make_kit: missing product file: %s\n", from.string().c_str());
    return false;
  }
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "make_kit: cannot write %s: %s\n", to.string().c_str(), error.message().c_str());
    return false;
  }
  return true;
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool ReadKitFile(const fs::path& path, std::string& bytes) {
  if (ReadWhole(path, bytes)) return true;
  std::fprintf(stderr, "make_kit: cannot read %s\n", path.string().c_str());
  return false;
}

bool WriteWhole(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// A 32-bit Windows program as built, not yet signed, with its empty kit
// record: where its PE checksum, its signature's directory entry and the
// record lie. False, with the reason told, otherwise.
bool FindPlaces(const std::string& program, const fs::path& name, KitManifest& places) {
  auto fail = [&](const char* why) {
    std::fprintf(stderr, "make_kit: %s: %s\n", name.string().c_str(), why);
    return false;
  };
  if (program.size() < 0x40 || program.compare(0, 2, "MZ") != 0) return fail("not a Windows program");
  std::uint32_t header = Get32(program, 0x3C);
  if (header + 256 > program.size() || program.compare(header, 4, std::string("PE\0\0", 4)) != 0 ||
      (Get32(program, header + 24) & 0xFFFF) != 0x10B) {
    return fail("not a 32-bit Windows program");
  }
  places.checksumOffset = header + 24 + 64;
  places.signatureEntryOffset = header + 24 + 128;  // the fifth data directory, the certificate table
  if (Get32(program, places.signatureEntryOffset) != 0 || Get32(program, places.signatureEntryOffset + 4) != 0) {
    return fail("is signed already; give it unsigned, make_kit records it first and then signs it (--sign)");
  }
  // The record's magic followed by its version: the magic alone also lies
  // among the program's constants, followed by its terminating zero.
  std::string start(kit_manifest::kMagic, kit_manifest::kMagicBytes);
  for (int i = 0; i < 4; ++i) start.push_back(static_cast<char>(kit_manifest::kVersion >> (8 * i)));
  std::size_t at = program.find(start);
  if (at == std::string::npos || program.find(start, at + 1) != std::string::npos ||
      program.size() - at < kit_manifest::kRecordBytes) {
    return fail("holds no single kit record to fill in");
  }
  places.recordOffset = static_cast<std::uint32_t>(at);
  return true;
}

// The program's bytes, and where its record and the rest lie (FindPlaces).
bool ReadProgram(const fs::path& path, std::string& program, KitManifest& places) {
  return ReadKitFile(path, program) && FindPlaces(program, path, places);
}

KitManifestEntry EntryFor(const std::string& name, const std::string& bytes) {
  KitManifestEntry entry;
  std::strncpy(entry.name, name.c_str(), sizeof entry.name - 1);
  entry.size = bytes.size();
  Sha256 hash;
  hash.Add(bytes.data(), bytes.size());
  hash.Finish(entry.sha256);
  return entry;
}

void PutRecord(std::string& program, const KitManifest& manifest) {
  std::uint8_t record[kit_manifest::kRecordBytes];
  WriteKitManifest(manifest, record);
  std::memcpy(program.data() + manifest.recordOffset, record, sizeof record);
}

// Runs the signing program on one file; true when it succeeded.
bool Sign(const char* program, const fs::path& file) {
  if (!program) return true;
#ifdef _WIN32
  std::fprintf(stderr, "make_kit: --sign works on the build machine only\n");
  return false;
#else
  std::string path = file.string();
  char* arguments[] = {const_cast<char*>(program), path.data(), nullptr};
  pid_t child = 0;
  int status = 0;
  if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0 || waitpid(child, &status, 0) < 0 ||
      !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "make_kit: %s could not sign %s\n", program, path.c_str());
    return false;
  }
  return true;
#endif
}

struct Options {
  const char* zip = nullptr;
  const char* sign = nullptr;
  const char* stub = nullptr;
  const char* installer = nullptr;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  int i = 5;
  if (argc > 5 && std::strncmp(argv[5], "--", 2) != 0) options.zip = argv[i++];
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sign") == 0 && i + 1 < argc) {
      options.sign = argv[++i];
    } else if (std::strcmp(argv[i], "--installer") == 0 && i + 2 < argc) {
      options.stub = argv[++i];
      options.installer = argv[++i];
    } else {
      return false;
    }
  }
  return argc >= 5;
}

// setup.exe with its record: every other kit file (already in the kit
// folder, setup.dll signed) and setup.exe itself as written here.
bool WriteSetup(const fs::path& built, const fs::path& kit) {
  std::string program;
  KitManifest manifest;
  if (!ReadProgram(built, program, manifest)) return false;
  for (const KitFile& file : KitFiles()) {
    std::string name = fs::path(std::wstring(file.kitName)).string();
    if (name == "setup.exe") {
      KitManifestEntry& self = manifest.entries[manifest.count++];
      std::strncpy(self.name, name.c_str(), sizeof self.name - 1);
      self.kind = KitEntryKind::AssembledSetup;
      continue;
    }
    std::string bytes;
    if (!ReadKitFile(kit / name, bytes)) return false;
    manifest.entries[manifest.count++] = EntryFor(name, bytes);
  }
  SealAssembledSetup(manifest, reinterpret_cast<std::uint8_t*>(program.data()), program.size());
  return WriteWhole(kit / "setup.exe", program);
}

// The single-file installer: the stub with a record of the kit's files as
// they now are (signed), and those files behind it in the record's order.
bool WriteInstaller(const fs::path& stub, const fs::path& kit, const fs::path& out) {
  std::string program;
  KitManifest manifest;
  if (!ReadProgram(stub, program, manifest)) return false;
  manifest.payloadOffset = program.size();
  std::string payload;
  for (const KitFile& file : KitFiles()) {
    std::string name = fs::path(std::wstring(file.kitName)).string();
    std::string bytes;
    if (!ReadKitFile(kit / name, bytes)) return false;
    manifest.entries[manifest.count++] = EntryFor(name, bytes);
    payload += bytes;
  }
  PutRecord(program, manifest);
  return WriteWhole(out, program + payload);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: make_kit PRODUCT_DIR SETUP_EXE SETUP_DLL KIT_DIR [KIT_ZIP] [--sign PROGRAM]"
                 " [--installer STUB OUTPUT]\n");
    return 2;
  }
  fs::path product = argv[1], setupExe = argv[2], setupDll = argv[3], kit = argv[4];
  std::error_code error;
  fs::create_directories(kit, error);
  if (error) {
    std::fprintf(stderr, "make_kit: cannot create %s: %s\n", kit.string().c_str(), error.message().c_str());
    return 1;
  }
  bool ok = true;
  std::vector<ZipEntry> entries;
  for (const KitFile& file : KitFiles()) {
    fs::path kitName(std::wstring(file.kitName));
    entries.push_back({kitName.string(), kit / kitName});
    if (kitName == "setup.exe") continue;  // written last, with the record of the others
    ok = CopyInto(kitName == "setup.dll" ? setupDll : product / ProductPath(file), kit / kitName) && ok;
  }
  // setup.dll is recorded as signed, setup.exe signed once its record is in.
  if (!ok || !Sign(options.sign, kit / "setup.dll") || !WriteSetup(setupExe, kit) ||
      !Sign(options.sign, kit / "setup.exe")) {
    return 1;
  }
  std::printf("make_kit: kit written to %s\n", kit.string().c_str());
  if (options.zip) {
    // Sorted by name, so that the archive does not follow the table's order
    // and lists as the folder does.
    std::sort(entries.begin(), entries.end(), [](const ZipEntry& a, const ZipEntry& b) { return a.name < b.name; });
    fs::path zip = options.zip;
    std::string reason;
    if (!WriteKitZip(zip, entries, reason)) {
      std::fprintf(stderr, "make_kit: %s\n", reason.c_str());
      fs::remove(zip, error);
      return 1;
    }
    std::printf("make_kit: kit archive written to %s\n", zip.string().c_str());
  }
  if (options.installer) {
    fs::path installer = options.installer;
    if (!WriteInstaller(options.stub, kit, installer) || !Sign(options.sign, installer)) {
      fs::remove(installer, error);
      return 1;
    }
    std::printf("make_kit: single-file installer written to %s\n", installer.string().c_str());
  }
  return 0;
}
