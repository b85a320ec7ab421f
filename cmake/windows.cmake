# Windows build: setup.exe and setup.dll, linked statically so that they
# import only DLLs every Windows has, and stripped and free of time stamps so
# that two builds give the same bytes.
enable_language(RC)

set(MORVANE_STATIC_LINK -static -s -Wl,--no-insert-timestamp -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1 -Wl,--major-os-version,6 -Wl,--minor-os-version,1)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

target_sources(morvane_logic PRIVATE platform/win/text_win.cpp)
target_compile_definitions(morvane_logic PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# The Win32 side of every platform interface.
add_library(morvane_platform_win STATIC
  platform/win/dialog_keys_win.cpp
  platform/win/dll_hardening_win.cpp
  platform/win/environment_win.cpp
  platform/win/file_system_win.cpp
  platform/win/companion_library_win.cpp
  platform/win/message_boxes_win.cpp
  platform/win/message_loop_win.cpp
  platform/win/process_launcher_win.cpp
  platform/win/registry_api_win.cpp
  platform/win/settings_store_win.cpp
  platform/win/window_win.cpp
)
target_link_libraries(morvane_platform_win PUBLIC morvane_logic)
morvane_warnings(morvane_platform_win)

add_executable(setup WIN32
  app/win/main_window_win.cpp
  app/win/setup_main_win.cpp
  resources/setup.rc
)
target_link_libraries(setup PRIVATE morvane_platform_win user32 gdi32 advapi32)
target_link_options(setup PRIVATE ${MORVANE_STATIC_LINK} -municode)
morvane_warnings(setup)

add_library(setup_dll SHARED
  platform/setup_dll/setup_dll.cpp
  platform/setup_dll/shortcut_folder.cpp
  platform/setup_dll/setup.def
  platform/text.cpp
  platform/win/text_win.cpp
)
set_target_properties(setup_dll PROPERTIES OUTPUT_NAME setup PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib.a")
target_include_directories(setup_dll PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(setup_dll PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(setup_dll PRIVATE ole32 shell32 uuid)
target_link_options(setup_dll PRIVATE ${MORVANE_STATIC_LINK})
morvane_warnings(setup_dll)
