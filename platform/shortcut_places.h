// The folder names the companion library's shortcut calls take. They are
// relative to the user's Start menu Programs folder, as the first Windows
// profiles laid it out: "" is that folder, "..\..\Desktop" the user's
// desktop, and "..\..\..\All Users\..." the desktop and Programs folder that
// every user of the computer sees. The library asks the shell where each of
// them is today (platform/setup_dll/shortcut_folder.cpp).
#pragma once

struct ShortcutPlaces {
  const wchar_t* desktop;
  const wchar_t* programs;
};

namespace shortcut_places {

inline constexpr ShortcutPlaces kThisUser = {L"..\\..\\Desktop", L""};
inline constexpr ShortcutPlaces kAllUsers = {L"..\\..\\..\\All Users\\Desktop",
                                             L"..\\..\\..\\All Users\\Start Menu\\Programs"};

}  // namespace shortcut_places
