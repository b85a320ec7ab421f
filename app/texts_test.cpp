// Every caption and message the setup shows, written out once, exactly as a
// user reads it. Every other test names them through the text tables, so a
// changed text touches its table and this one check.
#include <gtest/gtest.h>

#include "app/result_texts.h"
#include "app/texts.h"
#include "folder/folder_texts.h"
#include "install/registration_names.h"
#include "platform/modReg.h"

namespace {

TEST(Texts, EveryCaptionAndMessageAsTheUserReadsIt) {
  const std::pair<std::wstring, const wchar_t*> captions[] = {
      {texts::kAppTitle, L"Morvane Setup"},
      {texts::kInstallPrompt, L"Click Next to install Morvane by Halvo to your computer."},
      {texts::kNoKit, L"You can delete this file (SETUP.EXE)."},
      {texts::kUninstalledMessage,
       L"Morvane has been uninstalled.\r\n\r\nYou can delete the remaining SETUP and own files from the Morvane "
       L"directory."},
      {texts::kRemove, L"Remove Morvane"},
      {texts::kRemoveOrReinstall, L"Remove or Reinstall Morvane"},
      {texts::kRemoveBeforeReinstall, L"Remove Morvane before re-installing Morvane.."},
      {texts::kLocation, L"Location:"},
      {texts::kLocationTooltip, L"Location of Morvane"},
      {texts::kReinstall, L"&Reinstall"},
      {texts::kExit, L"E&xit"},
      {texts::kIncompleteKit, L"The installation kit is incomplete. Missing: "},
      {texts::kUsage,
       L"setup.exe\r\n    installs or removes Morvane in a window.\r\n\r\n"
       L"setup.exe /S [/LOG=file.log] [/D=folder]\r\n    installs Morvane without a window: into the folder given, "
       L"else where it is installed, else into C:\\WinUtil\\Morvane.\r\n\r\n"
       L"setup.exe /S /uninstall [/LOG=file.log]\r\n    removes the installed copy without a window.\r\n\r\n"
       L"/D= comes last and may hold blanks. Without /LOG= the log goes to a new file in %TEMP%. "
       L"The exit code tells how the run ended (0: done)."},
      {texts::kDamagedKit, L"The installation kit is damaged. Not as assembled: "},
      {texts::kAnd, L" and "},
      {texts::kMoreFiles, L" more files"},
      {texts::kProgramFilesRefused,
       L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
       L"folder."},
      {texts::kEnterTarget, L"Enter target directory for installation first."},
      {texts::kInstalling, L"Installing..."},
      {texts::kInstallCompleted, L"Completed installation."},
      {texts::kInstallFailed, L"An error occured while installing."},
      {texts::kConfirmUninstall, L"Are you sure you want to uninstall?"},
      {texts::kUninstalling, L"Uninstalling..."},
      {texts::kUninstallCompleted, L"Uninstallation completed."},
      {texts::kUninstalledDeleteTheRest,
       L"Uninstalled. Please delete the remaining SETUP and own files from the Morvane folder."},
      {texts::kUninstalledReinstall, L"Uninstallation completed. You can now re-install."},
      {texts::kReinstallDirectory, L"C:\\WINUTIL\\MORVANE"},
      {texts::kUninstallKeyNotDeleted,
       L"Could not delete Morvane Setup from "
       L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Currentversion\\Uninstall\\QolMORVANE"},
      {texts::kProductNotRemoved, L"Morvane is in use and could not be removed. Close it and start the removal again."},
      {texts::kDriveNotReady, L"Drive not ready..."},
      {texts::kCreateFolderTitle, L"Create folder"},
  };
  for (const auto& [text, expected] : captions) EXPECT_EQ(text, expected);

  using install::FailureKind;
  EXPECT_EQ(install::FailureMessage({FailureKind::Read, L"MORVANE.2", L"The system cannot find the file specified."}),
            L"An error occured while reading the following file: \r\nMORVANE.2\r\n\r\n"
            L"The system cannot find the file specified.\r\n\r\nSetup can not continue the installation.");
  EXPECT_EQ(install::FailureMessage({FailureKind::Write, L"SCREENSHOT.JPG", L"Access is denied."}),
            L"An error occured while writing the following file: \r\nSCREENSHOT.JPG\r\n\r\n"
            L"Access is denied.\r\n\r\nSetup can not continue the installation.");
  EXPECT_EQ(install::FailureMessage({FailureKind::Registration, L"QolMORVANE\\Installer\\InstallDir", L"Access is denied."}),
            L"An error occured while registering the installation: \r\nQolMORVANE\\Installer\\InstallDir\r\n\r\n"
            L"Access is denied.\r\n\r\nSetup can not continue the installation.");
  EXPECT_EQ(app::InUseQuestion(L"C:\\WINUTIL\\MORVANE\\"),
            L"Morvane is running from this folder:\r\n\r\nC:\\WINUTIL\\MORVANE\\\r\n\r\n"
            L"Close Morvane, then click Retry. Click Cancel to leave everything as it is.");
  install::Refused unsafe{install::RefusalReason::Unsafe, L"C:\\Open\\Morvane"};
  unsafe.unsafe = {L"C:\\Open", texts::kOthersMayAddFiles};
  EXPECT_EQ(app::RefusalMessage(unsafe),
            L"Morvane can not be installed safely here:\r\n\r\nC:\\Open\r\n\r\n"
            L"Users who are not administrators may add files to this folder.\r\n\r\n"
            L"Choose another folder, or create a new one.");
  EXPECT_EQ(modReg::kDeleteErrorStart + modReg::RegistryStatusText(5), L"Error while deleting from registry: Can't write (5)");

  using enum install::RefusalReason;
  auto refusal = [](install::RefusalReason reason, std::wstring target, std::wstring folder = {},
                    std::wstring detail = {}) {
    install::Refused refused{reason, std::move(target)};
    refused.folder = std::move(folder);
    refused.detail = std::move(detail);
    return app::RefusalMessage(refused);
  };
  EXPECT_EQ(refusal(InvalidName, L"C:\\Tools\\a|b"),
            L"Morvane can not be installed in this folder:\r\n\r\nC:\\Tools\\a|b\r\n\r\n"
            L"A folder name may not hold any of the characters \\ / : * ? \" < > |, may not end in a blank or a dot, "
            L"and may not be a device name such as CON or NUL. Enter another folder.");
  EXPECT_EQ(refusal(TooLong, L"C:\\Long"),
            L"The path of this folder is too long for Morvane's files:\r\n\r\nC:\\Long\r\n\r\n"
            L"Enter a folder with a shorter path.");
  EXPECT_EQ(refusal(NoSuchDrive, L"X:\\Tools\\Morvane", L"X:\\"),
            L"This drive or network share can not be found:\r\n\r\nX:\\\r\n\r\nEnter a folder on a drive of this computer.");
  EXPECT_EQ(refusal(DriveNotReady, L"E:\\Morvane", L"E:\\", L"The device is not ready."),
            L"This drive is not ready:\r\n\r\nE:\\\r\n\r\nThe device is not ready.\r\n\r\n"
            L"Insert its disc, or enter a folder on another drive.");
  install::Refused full{NotEnoughSpace, L"D:\\Morvane"};
  full.folder = L"D:\\";
  full.bytesNeeded = 2 * 1024 * 1024;
  full.bytesFree = 1000;
  EXPECT_EQ(app::RefusalMessage(full),
            L"There is not enough free space for Morvane on drive D:\\\r\n\r\nNeeded: 2048 KB. Free: 1 KB.\r\n\r\n"
            L"Free some space on this drive, or choose another drive.");
  EXPECT_EQ(refusal(NetworkDrive, L"N:\\Morvane", L"N:\\"),
            L"Morvane can not be installed on a network drive or share:\r\n\r\nN:\\\r\n\r\n"
            L"Choose a folder on a fixed drive of this computer.");
  EXPECT_EQ(refusal(RemovableDrive, L"E:\\Morvane", L"E:\\"),
            L"Morvane can not be installed on a removable drive:\r\n\r\nE:\\\r\n\r\n"
            L"Choose a folder on a fixed drive of this computer.");
  EXPECT_EQ(refusal(WindowsFolder, L"C:\\Windows\\Morvane", L"C:\\WINDOWS\\MORVANE\\"),
            L"Morvane can not be installed in the Windows folder:\r\n\r\nC:\\WINDOWS\\MORVANE\\\r\n\r\nChoose another folder.");
  EXPECT_EQ(refusal(ProfilesFolder, L"C:\\Users\\jane\\Morvane", L"C:\\Users"),
            L"Morvane can not be installed among the users' profiles, whose folders belong to their users:\r\n\r\n"
            L"C:\\Users\r\n\r\nChoose another folder.");
  install::Refused reinstall{RemovableDrive, L"E:\\Morvane\\"};
  reinstall.folder = L"E:\\";
  EXPECT_EQ(app::RefusalMessage(reinstall, true),
            L"Morvane can not be installed on a removable drive:\r\n\r\nE:\\\r\n\r\n"
            L"Uninstall Morvane first, then install it into another folder.");
  EXPECT_EQ(refusal(NotRegistered, L"C:\\Elsewhere\\", L"C:\\Elsewhere\\", L"C:\\WINUTIL\\MORVANE\\"),
            L"This is not the copy of Morvane that Windows has registered:\r\n\r\nC:\\Elsewhere\\\r\n\r\n"
            L"The registered copy is in:\r\n\r\nC:\\WINUTIL\\MORVANE\\\r\n\r\nNothing was removed.");
  install::Refused otherRegistered{OtherCopyRegistered, L"C:\\Elsewhere\\"};
  otherRegistered.folder = L"C:\\Elsewhere\\";
  otherRegistered.detail = L"C:\\WINUTIL\\MORVANE\\";
  EXPECT_EQ(app::RefusalMessage(otherRegistered),
            L"This is not the copy of Morvane that Windows has registered:\r\n\r\nC:\\Elsewhere\\\r\n\r\n"
            L"The registered copy is in:\r\n\r\nC:\\WINUTIL\\MORVANE\\\r\n\r\n"
            L"Uninstall the registered copy first, then install Morvane again.");
  EXPECT_EQ(refusal(LinkOnTheWay, L"C:\\WINUTIL\\MORVANE\\", L"C:\\WINUTIL"),
            L"Morvane can not be removed safely: this folder on the way to it is a link to another place:\r\n\r\n"
            L"C:\\WINUTIL\r\n\r\nNothing was removed.");
  EXPECT_EQ(refusal(NotRegistered, L"C:\\Elsewhere\\", L"C:\\Elsewhere\\"),
            L"This is not the copy of Morvane that Windows has registered:\r\n\r\nC:\\Elsewhere\\\r\n\r\n"
            L"No copy of Morvane is registered with Windows.\r\n\r\nNothing was removed.");
  EXPECT_EQ(std::wstring(texts::kProductCouldNotBeRemoved), L"Morvane could not be removed: ");
  EXPECT_EQ(std::wstring(texts::kOwnedByYou), L"Programs you run without administrator rights may change this folder.");
  EXPECT_EQ(std::wstring(texts::kOthersEntry),
            L"This file or folder is not Morvane's, and users who are not administrators may change it.");
  EXPECT_EQ(refusal(ProgramFiles, L"C:\\Program Files\\Morvane"), texts::kProgramFilesRefused);
  // A path no message box can hold is cut in its middle, and a line break typed into it shows as "?".
  EXPECT_EQ(refusal(TooLong, L"C:\\" + std::wstring(100, L'a') + L"\n" + std::wstring(100, L'b')),
            L"The path of this folder is too long for Morvane's files:\r\n\r\nC:\\" + std::wstring(75, L'a') +
                L" ... " + std::wstring(77, L'b') + L"\r\n\r\nEnter a folder with a shorter path.");
  EXPECT_EQ(refusal(NotAFullPath, L"C:"), texts::kEnterTarget);
  EXPECT_EQ(refusal(NotAFullPath, L"WinUtil\\Morvane"),
            L"Morvane is installed into a folder given by its full path, which this is not:\r\n\r\nWinUtil\\Morvane"
            L"\r\n\r\nEnter the full path of a folder, with backslashes, such as C:\\WinUtil\\Morvane.");
  EXPECT_EQ(refusal(NotAFolder, L"C:\\Kits\\kit.zip\\Morvane", L"C:\\KITS\\KIT.ZIP"),
            L"This is a file, not a folder:\r\n\r\nC:\\KITS\\KIT.ZIP\r\n\r\nChoose another folder.");
}

}  // namespace
