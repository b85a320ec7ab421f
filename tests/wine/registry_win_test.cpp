// The registry module and the per-user settings on the real registry.
#include <gtest/gtest.h>

#include "platform/fakes/fake_services.h"
#include "platform/modReg.h"
#include "platform/win/registry_api_win.h"
#include "platform/win/settings_store_win.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace {

using namespace e2e;

constexpr const wchar_t* kTestKey = L"Software\\MorvaneTest";

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    World::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestKey, kView32);
    World::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestKey, kView64);
    World::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\MorvaneTestSettings");
  }

  // The value as the ANSI entry point reads it back: type and byte count.
  static std::pair<DWORD, std::vector<BYTE>> ReadAnsi(const wchar_t* key, const char* name, REGSAM view = kView32) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return {0, {}};
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      RegCloseKey(opened);
      return {0, {}};
    }
    std::vector<BYTE> data(size);
    RegQueryValueExA(opened, name, nullptr, &type, data.data(), &size);
    RegCloseKey(opened);
    return {type, data};
  }

  RegistryApiWin registry_;
  FakeMessageBoxes messages_;
};

TEST_F(RealRegistry, TextIsStoredWithItsNulInThe32BitView) {
  modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, kTestKey);
  modReg::SetRegistryValue(registry_, hkey::kLocalMachine, kTestKey, L"Name", std::wstring(L"abc"), regtype::kString);
  auto [type, data] = ReadAnsi(kTestKey, "Name");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, (std::vector<BYTE>{'a', 'b', 'c', 0}));
  // A 32-bit program passes no view flag; its keys live where Windows puts 32-bit programs' keys.
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestKey, kView64));
}

TEST_F(RealRegistry, TextReadsBackWhateverItsLengthAndOtherTypesAreRefused) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
  const std::wstring longText(300, L'x');  // more than a first read takes, and stored without its NUL
  RegSetValueExW(key, L"Long", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.data()),
                 static_cast<DWORD>(longText.size() * sizeof(wchar_t)));
  DWORD number = 7;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);

  RegistryHandle opened = 0;
  ASSERT_EQ(registry_.OpenKey(hkey::kLocalMachine, kTestKey, KEY_QUERY_VALUE, opened), 0);
  std::wstring text = L"stale";
  EXPECT_EQ(registry_.QueryStringValue(opened, L"Long", text), 0);
  EXPECT_EQ(text, longText);
  EXPECT_EQ(registry_.QueryStringValue(opened, L"Number", text), ERROR_UNSUPPORTED_TYPE);
  EXPECT_EQ(text, L"");
  EXPECT_EQ(registry_.QueryStringValue(opened, L"Missing", text), ERROR_FILE_NOT_FOUND);
  registry_.CloseKey(opened);
}

TEST_F(RealRegistry, NumberIsFourBytesAndOtherTypesWriteNothing) {
  modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, kTestKey);
  modReg::SetRegistryValue(registry_, hkey::kLocalMachine, kTestKey, L"Count", std::int32_t{258}, regtype::kDword);
  modReg::SetRegistryValue(registry_, hkey::kLocalMachine, kTestKey, L"Binary", std::wstring(L"abc"), 3);
  auto [type, data] = ReadAnsi(kTestKey, "Count");
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, (std::vector<BYTE>{2, 1, 0, 0}));
  EXPECT_EQ(ReadAnsi(kTestKey, "Binary").first, 0u);
}

TEST_F(RealRegistry, TextOutsideTheAnsiCodePageIsStoredIntact) {
  const std::wstring text = L"C:\\\x65E5\x672C\\\x0416\\";
  modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, kTestKey);
  modReg::SetRegistryValue(registry_, hkey::kLocalMachine, kTestKey, L"Path", text, regtype::kString);
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kTestKey, L"Path", kView32), text);
}

TEST_F(RealRegistry, SettingAValueOnAMissingPathCreatesNothing) {
  modReg::SetRegistryValue(registry_, hkey::kLocalMachine, std::wstring(kTestKey) + L"\\Missing", L"Name",
                           std::wstring(L"x"), regtype::kString);
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestKey, kView32));
}

TEST_F(RealRegistry, DeletingAMissingKeyShowsNothing) {
  std::wstring missing = std::wstring(kTestKey) + L"\\Missing";
  std::int32_t status = modReg::DeleteRegistryKey(registry_, hkey::kLocalMachine, missing);
  EXPECT_EQ(status, 2);
  modReg::ShowRegistryDeleteError(messages_, status, hkey::kLocalMachine, missing);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RealRegistry, DeletingAKeyWithASubkeyShowsItsStatus) {
  std::wstring parent = std::wstring(kTestKey) + L"\\Parent";
  modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, parent + L"\\Child");
  modReg::ShowRegistryDeleteError(messages_, modReg::DeleteRegistryKey(registry_, hkey::kLocalMachine, parent),
                                  hkey::kLocalMachine, parent);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(Utf8(messages_.shown[0].text),
            "Error while deleting from registry: Can't write (5)\r\nHKEY_LOCAL_MACHINE\\Software\\MorvaneTest\\Parent");
  EXPECT_EQ(messages_.shown[0].flags, 16);
  EXPECT_TRUE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, parent, kView32));
}

TEST_F(RealRegistry, ValuesAreTakenDownAndPutBackAsTheyWere) {
  // What a rollback of the uninstall entry does: every byte and the type back.
  modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, kTestKey);
  RegistryHandle key = 0;
  ASSERT_EQ(registry_.OpenKey(hkey::kLocalMachine, kTestKey, modReg::kKeyAccess, key), 0);
  const std::vector<std::uint8_t> odd = {'a', 0, 'b', 0, 0, 0, 7};  // REG_MULTI_SZ with a stray byte
  EXPECT_EQ(registry_.SetValue(key, L"Odd", 7, odd), 0);
  std::int32_t type = 0;
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(registry_.QueryValue(key, L"Odd", type, bytes), 0);
  EXPECT_EQ(type, 7);
  EXPECT_EQ(bytes, odd);
  EXPECT_EQ(registry_.DeleteValue(key, L"Odd"), 0);
  EXPECT_EQ(registry_.QueryValue(key, L"Odd", type, bytes), 2);
  registry_.CloseKey(key);
  EXPECT_EQ(registry_.StatusText(5), L"Access denied.");
}

TEST_F(RealRegistry, SettingsRoundTripAndUnreadableValuesReadAsTheDefault) {
  SettingsStoreWin settings;
  EXPECT_EQ(settings.GetSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir", L"none"), L"none");
  EXPECT_EQ(settings.DeleteSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir"), 0);  // nothing to delete
  const std::wstring longValue(40000, L'x');
  ASSERT_EQ(settings.SaveSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir", longValue), 0);
  EXPECT_EQ(settings.GetSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir", L""), longValue);
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\MorvaneTestSettings\\Installer", 0, KEY_SET_VALUE, &key);
  DWORD number = 7;
  RegSetValueExW(key, L"InstallDir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(settings.GetSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir", L"none"), L"none");
  EXPECT_EQ(settings.DeleteSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir"), 0);
  EXPECT_FALSE(settings.FindSetting(L"MorvaneTestSettings", L"Installer", L"InstallDir"));
}

}  // namespace
