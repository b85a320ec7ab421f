#include "platform/modReg.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_services.h"

namespace {

constexpr const wchar_t* kEntry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";

class RegistryModule : public ::testing::Test {
 protected:
  // The deletion and its report, as the removal's front end puts them together.
  void DeleteAndReport() {
    std::int32_t status = modReg::DeleteRegistryKey(registry, hkey::kLocalMachine, kEntry);
    modReg::ShowRegistryDeleteError(messages, status, hkey::kLocalMachine, kEntry);
  }

  FakeRegistry registry;
  FakeMessageBoxes messages;
};

TEST_F(RegistryModule, TextValueIsStoredWithItsTerminatingNul) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, kEntry);
  modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Name", std::wstring(L"abc"), regtype::kString);
  modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Empty", std::wstring(), regtype::kString);
  const FakeRegistry::Value* value = registry.Find(hkey::kLocalMachine, kEntry, L"Name");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, 1);
  // Kept as Windows keeps text that came through the ANSI call: UTF-16.
  EXPECT_EQ(value->bytes, (std::vector<unsigned char>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
  EXPECT_EQ(registry.Find(hkey::kLocalMachine, kEntry, L"Empty")->bytes, (std::vector<unsigned char>{0, 0}));
  EXPECT_EQ(registry.openHandles(), 0u);
  for (std::uint32_t access : registry.accessRequested) EXPECT_EQ(access, 0x3Fu);
}

TEST_F(RegistryModule, NumberIsStoredAsFourLittleEndianBytes) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, kEntry);
  modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Count", std::int32_t{0x01020304},
                           regtype::kDword);
  modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Minus", std::wstring(L"-2"), regtype::kDword);
  modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Least", std::wstring(L"-2147483648"),
                           regtype::kDword);
  EXPECT_EQ(registry.Find(hkey::kLocalMachine, kEntry, L"Count")->bytes,
            (std::vector<unsigned char>{4, 3, 2, 1}));
  EXPECT_EQ(registry.Find(hkey::kLocalMachine, kEntry, L"Minus")->bytes,
            (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registry.Find(hkey::kLocalMachine, kEntry, L"Least")->bytes,
            (std::vector<unsigned char>{0, 0, 0, 0x80}));
  // Text that is no whole 32-bit decimal number is refused, and nothing written.
  for (const wchar_t* text : {L"", L"-", L"+1", L" 1", L"12x", L"2147483648", L"-2147483649", L"1.0"}) {
    EXPECT_EQ(modReg::SetRegistryValue(registry, hkey::kLocalMachine, kEntry, L"Bad", std::wstring(text),
                                       regtype::kDword),
              87)
        << text;
  }
  EXPECT_EQ(registry.Find(hkey::kLocalMachine, kEntry, L"Bad"), nullptr);
}

TEST_F(RegistryModule, OtherTypesAndMissingKeysWriteNothing) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, kEntry);
  RegistryHandle key = 0;
  ASSERT_EQ(registry.OpenKey(hkey::kLocalMachine, kEntry, 0x3F, key), 0);
  EXPECT_EQ(modReg::WriteRegistryValue(registry, key, L"Binary", 3, std::wstring(L"abc")), 0);
  EXPECT_FALSE(registry.Find(hkey::kLocalMachine, kEntry, L"Binary"));
  registry.CloseKey(key);

  modReg::SetRegistryValue(registry, hkey::kLocalMachine, L"Software\\Nowhere", L"Name", std::wstring(L"x"),
                           regtype::kString);
  EXPECT_FALSE(registry.KeyExists(hkey::kLocalMachine, L"Software\\Nowhere"));
  EXPECT_EQ(registry.openHandles(), 0u);
}

TEST_F(RegistryModule, DeletingAMissingKeyIsSilent) {
  DeleteAndReport();
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryModule, DeletingAKeyWithASubkeyShowsCantWrite) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, std::wstring(kEntry) + L"\\Child");
  DeleteAndReport();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            L"Error while deleting from registry: Can't write (5)\r\nHKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
            L"CurrentVersion\\Uninstall\\QolMORVANE");
  EXPECT_EQ(messages.shown[0].flags, 16);
  EXPECT_TRUE(registry.KeyExists(hkey::kLocalMachine, kEntry));
}

TEST_F(RegistryModule, DeletingWithoutRightsShowsCantWrite) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, kEntry);
  registry.DenyWrites(hkey::kLocalMachine, L"Software\\Microsoft");
  DeleteAndReport();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text.substr(0, 51), L"Error while deleting from registry: Can't write (5)");
}

TEST_F(RegistryModule, DeletionOnlyRemovesTheLastKeyOfThePath) {
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, kEntry);
  DeleteAndReport();
  EXPECT_FALSE(registry.KeyExists(hkey::kLocalMachine, kEntry));
  EXPECT_TRUE(registry.KeyExists(hkey::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryModule, StatusTextsSayTheirCodeAndOthersShowNothing) {
  const std::pair<std::int32_t, const wchar_t*> kTexts[] = {
      {1, L"Bad DB (1)"},          {3, L"Can't open (3)"},           {4, L"Can't read (4)"},
      {5, L"Can't write (5)"},     {6, L"Out of memory (6)"},        {7, L"Invalid parameter (7)"},
      {8, L"Access denied (8)"},   {87, L"Invalid parameters (87)"}, {259, L"No more items (259)"},
  };
  for (auto [status, text] : kTexts) EXPECT_EQ(modReg::RegistryStatusText(status), text);
  for (std::int32_t silent : {0, 2, 1018, -1}) {
    modReg::ShowRegistryDeleteError(messages, silent, hkey::kLocalMachine, kEntry);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegistryModule, MessageNamesTheRootOrOnlyThePath) {
  modReg::ShowRegistryDeleteError(messages, 8, hkey::kCurrentUser, L"Software\\X");
  modReg::ShowRegistryDeleteError(messages, 87, 0x80000005u, L"Software\\X");
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, L"Error while deleting from registry: Access denied (8)\r\nHKEY_CURRENT_USER\\Software\\X");
  EXPECT_EQ(messages.shown[1].text, L"Error while deleting from registry: Invalid parameters (87)\r\nSoftware\\X");
  EXPECT_EQ(modReg::RootKeyName(hkey::kClassesRoot), L"HKEY_CLASSES_ROOT\\");
  EXPECT_EQ(modReg::RootKeyName(hkey::kUsers), L"HKEY_USERS\\");
}

}  // namespace
