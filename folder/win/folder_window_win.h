// frmFolder as a real window, owned by the main window (so it has no
// taskbar entry) and shown modally. Every control is a child window whose
// text can be read: the drive list is an owner-drawn combo box and the
// directory list an owner-drawn list box, both keeping their item texts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <array>
#include <vector>

#include "folder/folder_form_controls.h"
#include "folder/folder_form_design.h"
#include "folder/frm_folder.h"
#include "platform/win/dialog_keys_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/input_box_win.h"
#include "platform/win/message_boxes_win.h"
#include "platform/win/window_common_win.h"
#include "platform/win/window_win.h"

class FolderWindow : public Window, public FolderFormControls, public FolderView {
 public:
  // messageTitle is the title of the chooser's message boxes; setTarget
  // writes the main window's Text1.
  FolderWindow(HINSTANCE instance, HWND owner, const wchar_t* messageTitle, FolderSystem& folders,
               Callback<void(const std::wstring&)> setTarget);
  ~FolderWindow() override;

  // Creates the window hidden with its controls in their first state.
  bool Create();
  HWND ControlWindow(FolderControl control) const { return controls_[static_cast<std::size_t>(control)]; }

  // FolderView
  Ending ShowModal() override;
  void Unload() override;

  // FolderFormControls
  void ShowDrives(const std::vector<DriveInfo>& drives, int current) override;
  void SelectDrive(int index) override;
  void ShowDirectories(const std::vector<DirectoryEntry>& entries, int selected) override;
  int SelectedDirectory() const override;
  std::wstring Text() const override;
  void SetText(const std::wstring& text) override;
  void Hide() override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool CreateControls();
  // Sizes the window, its controls, their rows, fonts and icons for dpi.
  void Layout(int dpi);
  void FitDriveListHeight(int pixels);
  void CenterOverOwner();
  // Keys the chooser answers itself before the dialog keys: an open drop-down
  // keeps Enter and Esc, and Enter on the directory list opens its entry.
  bool HandleKey(const MSG& message);
  void OnButtonClicked(HWND button);
  void OnDriveChosen();
  void DrawItem(const DRAWITEMSTRUCT& item);
  void EndModal(Ending ending);
  void FillBackground(HDC dc);

  HINSTANCE instance_;
  HWND owner_;
  MessageBoxesWin messages_;
  InputBoxWin input_;
  frmFolder logic_;
  std::array<HWND, kFolderControlCount> controls_{};
  HWND tooltip_ = nullptr;
  UniqueGdiObject background_;
  int dpi_ = 96;
  DesignFonts fonts_;
  WindowIcons icons_;
  DialogKeys keys_;
  int shownDrive_ = -1;
  HWND lastFocus_ = nullptr;
  bool placed_ = false;
  std::optional<Ending> ending_;
};
