# Windows build: setup.exe and setup.dll, linked statically so that they
# import only DLLs every Windows has, and stripped and free of time stamps so
# that two builds give the same bytes.
enable_language(RC)

set(MORVANE_STATIC_LINK -static -s -Wl,--no-insert-timestamp -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1 -Wl,--major-os-version,6 -Wl,--minor-os-version,1
                        -Wl,--dynamicbase -Wl,--nxcompat -Wl,--large-address-aware)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# setup.exe and setup.dll are downloaded and started once, so they are built
# for size: clang's -Oz over the whole program at link time (full LTO), the
# unused functions and data dropped; no exception or unwind tables and no
# type information. The runtime's own throws end the program as an uncaught
# exception would (platform/win/runtime_support_win.cpp).
# tests/check-artifacts.sh holds the two files to their budget.
set(MORVANE_SIZE_COMPILE -Oz -flto=full -ffunction-sections -fdata-sections -fno-exceptions
                         -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-rtti)
set(MORVANE_SIZE_LINK -flto=full -Wl,--gc-sections -Wl,--Xlink=-merge:.rdata=.text)

# The system DLLs' import libraries made again as llvm-dlltool makes them,
# from the same names as mingw-w64's: with these short members the linker
# makes a function's 8-byte jump stub only where something calls through
# it, while each of mingw-w64's members brings its stub along, kept whether
# used or not (lld drops only unused COMDAT sections). The calls go through
# the import table directly, so setup.exe would carry some 240 unused stubs.
set(MORVANE_IMPORT_LIBS ${CMAKE_BINARY_DIR}/import-libs)
file(MAKE_DIRECTORY ${MORVANE_IMPORT_LIBS})
foreach(dll kernel32 user32 gdi32 advapi32)
  execute_process(COMMAND /usr/bin/llvm-nm-14 /usr/${MORVANE_TARGET}/lib/lib${dll}.a OUTPUT_VARIABLE symbols ERROR_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "__imp__[^\r\n]+" names "${symbols}")
  list(TRANSFORM names REPLACE "^__imp__" "")
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  list(JOIN names "\n" exports)
  string(TOUPPER ${dll} name)  # the import table names each DLL as mingw-w64's libraries do
  file(WRITE ${MORVANE_IMPORT_LIBS}/${dll}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
  execute_process(COMMAND /usr/bin/llvm-dlltool-14 -m i386 -k -d ${MORVANE_IMPORT_LIBS}/${dll}.def
                          -l ${MORVANE_IMPORT_LIBS}/lib${dll}.a COMMAND_ERROR_IS_FATAL ANY)
endforeach()
list(APPEND MORVANE_SIZE_LINK -L${MORVANE_IMPORT_LIBS})
target_compile_options(morvane_logic PRIVATE ${MORVANE_SIZE_COMPILE})

# Both files start at an entry point of their own instead of the C runtime's
# start-up code; the system libraries' functions (msvcrt's among them) are
# still imported as before. Data imported from a DLL would need the runtime's
# relocation pass, so the link refuses it.
set(MORVANE_NO_CRT_START -nostartfiles -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)
# Without the runtime's start-up nobody would construct a global object:
# the build fails when the link map shows one.
function(morvane_no_global_objects target map)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh -c "! grep -E '[(][.](ctors|CRT[$]X[CI])' \"$0\" || { echo \"$0: a global object needs constructing\"; exit 1; }" ${map}
    VERBATIM)
endfunction()

target_sources(morvane_logic PRIVATE platform/win/text_win.cpp)
target_compile_definitions(morvane_logic PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# The Win32 side of every platform interface.
add_library(morvane_platform_win STATIC
  platform/win/access_lists_win.cpp
  platform/win/account_win.cpp
  platform/win/dialog_keys_win.cpp
  platform/win/dll_hardening_win.cpp
  platform/win/dpi_win.cpp
  platform/win/environment_win.cpp
  platform/win/file_system_win.cpp
  platform/win/folder_system_win.cpp
  platform/win/input_box_win.cpp
  platform/win/kit_record_win.cpp
  platform/win/log_file_win.cpp
  platform/win/companion_library_win.cpp
  platform/win/message_boxes_win.cpp
  platform/win/message_loop_win.cpp
  platform/win/plain_file_win.cpp
  platform/win/private_folder_win.cpp
  platform/win/process_launcher_win.cpp
  platform/win/registry_api_win.cpp
  platform/win/registry_text_win.cpp
  platform/win/settings_store_win.cpp
  platform/win/window_common_win.cpp
  platform/win/window_win.cpp
)
target_link_libraries(morvane_platform_win PUBLIC morvane_logic)
target_compile_options(morvane_platform_win PRIVATE ${MORVANE_SIZE_COMPILE})
morvane_warnings(morvane_platform_win)

# The kit record, empty: its magic and version, then zeros, for make_kit to
# fill in when it assembles a kit (install/kit_manifest.h).
set(MORVANE_KIT_RECORD ${CMAKE_BINARY_DIR}/resources/kit_record.bin)
add_custom_command(
  OUTPUT ${MORVANE_KIT_RECORD}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
  COMMAND sh -c "{ printf 'MORVANE KIT LIST\\001\\000\\000\\000' && head -c 796 /dev/zero; } >\"$0\""
          ${MORVANE_KIT_RECORD}
  DEPENDS install/kit_manifest.h
  COMMENT "Making the empty kit record"
  VERBATIM)
# Made once, for both programs that carry it: two targets that each ran the
# command above could write it at the same time.
add_custom_target(kit_record DEPENDS ${MORVANE_KIT_RECORD})
# The files the scripts name are no #include, so the build is told of them.
set(MORVANE_RC_FILES ${MORVANE_KIT_RECORD} ${CMAKE_SOURCE_DIR}/resources/setup.manifest
                     ${CMAKE_SOURCE_DIR}/resources/morvane.ico)
set_source_files_properties(resources/setup.rc PROPERTIES OBJECT_DEPENDS "${MORVANE_RC_FILES}"
                            INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/resources)
set_source_files_properties(resources/installer_stub.rc PROPERTIES OBJECT_DEPENDS "${MORVANE_RC_FILES}"
                            INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/resources)

add_executable(setup WIN32
  app/win/kit_copy_win.cpp
  app/win/main_window_win.cpp
  app/win/setup_main_win.cpp
  app/win/single_instance_win.cpp
  folder/win/folder_window_win.cpp
  platform/win/runtime_support_win.cpp
  resources/setup.rc
)
target_link_libraries(setup PRIVATE morvane_platform_win user32 gdi32 advapi32)
add_dependencies(setup kit_record)
target_compile_options(setup PRIVATE ${MORVANE_SIZE_COMPILE})
# The linker's map (build/windows/setup.exe.map) tells where the bytes go.
target_link_options(setup PRIVATE ${MORVANE_STATIC_LINK} ${MORVANE_SIZE_LINK} ${MORVANE_NO_CRT_START}
                    -Wl,-e,SetupEntry -Wl,-Map=${CMAKE_BINARY_DIR}/setup.exe.map)
morvane_no_global_objects(setup ${CMAKE_BINARY_DIR}/setup.exe.map)
morvane_warnings(setup)

# The single-file installer's program: make_kit packs the kit behind it.
add_executable(installer_stub WIN32
  app/win/installer_stub_win.cpp
  platform/win/runtime_support_win.cpp
  resources/installer_stub.rc
)
target_link_libraries(installer_stub PRIVATE morvane_platform_win user32 advapi32)
target_compile_options(installer_stub PRIVATE ${MORVANE_SIZE_COMPILE})
target_link_options(installer_stub PRIVATE ${MORVANE_STATIC_LINK} ${MORVANE_SIZE_LINK} -nostartfiles
                    -Wl,-e,_StubStart@0 -Wl,-Map=${CMAKE_BINARY_DIR}/installer_stub.exe.map)
morvane_warnings(installer_stub)
add_dependencies(installer_stub kit_record)

# setup.dll uses no C++ standard library, exceptions or type information:
# Win32, COM and fixed buffers keep it a few kilobytes.
add_library(setup_dll SHARED
  platform/setup_dll/setup_dll.cpp
  platform/setup_dll/shortcut_folder.cpp
  platform/win/plain_file_win.cpp
  platform/setup_dll/setup.def
)
set_target_properties(setup_dll PROPERTIES OUTPUT_NAME setup PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib.a")
target_include_directories(setup_dll PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(setup_dll PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_options(setup_dll PRIVATE ${MORVANE_SIZE_COMPILE})
target_link_options(setup_dll PRIVATE ${MORVANE_STATIC_LINK} ${MORVANE_SIZE_LINK} ${MORVANE_NO_CRT_START}
                    -Wl,-e,SetupDllEntry@12 -Wl,-Map=${CMAKE_BINARY_DIR}/setup.dll.map)
morvane_no_global_objects(setup_dll ${CMAKE_BINARY_DIR}/setup.dll.map)
morvane_warnings(setup_dll)

# The sample product: a stand-in Morvane.exe and the files beside it, staged
# under their installed names, then assembled into the sample kit.
set(MORVANE_PRODUCT_DIR ${CMAKE_BINARY_DIR}/sample-product)
set(MORVANE_KIT_DIR ${CMAKE_BINARY_DIR}/kit)
set(MORVANE_KIT_ZIP ${CMAKE_BINARY_DIR}/morvane-kit.zip)
# The whole kit in one file, the installer's stub with the kit behind it.
set(MORVANE_INSTALLER ${CMAKE_BINARY_DIR}/morvane-2.4.5-setup.exe)

add_executable(morvane_stub WIN32 tools/sample-product/morvane_stub.cpp)
set_target_properties(morvane_stub PROPERTIES OUTPUT_NAME Morvane RUNTIME_OUTPUT_DIRECTORY ${MORVANE_PRODUCT_DIR})
target_compile_definitions(morvane_stub PRIVATE UNICODE _UNICODE)
target_link_options(morvane_stub PRIVATE ${MORVANE_STATIC_LINK} -municode)

# make_kit reads the kit file table of the installation itself, so it is
# built for this machine, not for Windows.
find_program(MORVANE_HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(MORVANE_MAKE_KIT ${CMAKE_BINARY_DIR}/host-tools/make_kit)
set(MORVANE_MAKE_KIT_SOURCES tools/make_kit/make_kit.cpp tools/make_kit/kit_zip.cpp install/kit_files.cpp
                             install/kit_manifest.cpp platform/sha256.cpp)
list(TRANSFORM MORVANE_MAKE_KIT_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE MORVANE_MAKE_KIT_PATHS)
add_custom_command(
  OUTPUT ${MORVANE_MAKE_KIT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
  COMMAND ${MORVANE_HOST_CXX} -std=c++20 -O2 -I${CMAKE_SOURCE_DIR} ${MORVANE_MAKE_KIT_PATHS} -o ${MORVANE_MAKE_KIT}
  DEPENDS ${MORVANE_MAKE_KIT_SOURCES} tools/make_kit/kit_zip.h tools/make_kit/product_layout.h install/kit_files.h
          install/kit_manifest.h platform/sha256.h
  COMMENT "Building make_kit for the build machine")
# The same for the tests under Wine, which assemble kits of their own.
add_executable(make_kit ${MORVANE_MAKE_KIT_SOURCES})
target_include_directories(make_kit PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(make_kit PRIVATE -static)

file(GLOB_RECURSE MORVANE_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/sample-product/files/*)
# The kit's setup.exe, setup.dll and single file are signed by make_kit,
# through tools/sign.sh, when it is given a certificate; the built files
# stay as they are.
add_custom_target(kit ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/tools/sample-product/files ${MORVANE_PRODUCT_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${MORVANE_KIT_DIR} ${MORVANE_KIT_ZIP} ${MORVANE_INSTALLER}
  COMMAND ${MORVANE_MAKE_KIT} ${MORVANE_PRODUCT_DIR} $<TARGET_FILE:setup> $<TARGET_FILE:setup_dll>
          ${MORVANE_KIT_DIR} ${MORVANE_KIT_ZIP} --sign ${CMAKE_SOURCE_DIR}/tools/sign.sh
          --installer $<TARGET_FILE:installer_stub> ${MORVANE_INSTALLER}
  DEPENDS ${MORVANE_MAKE_KIT} ${MORVANE_SAMPLE_FILES} setup setup_dll installer_stub morvane_stub
  COMMENT "Assembling the sample kit in ${MORVANE_KIT_DIR}, ${MORVANE_KIT_ZIP} and ${MORVANE_INSTALLER}"
  VERBATIM)

# Tests that run under Wine: the platform layer on the real system, and the
# end-to-end scenarios that drive setup.exe from outside.
add_library(e2e_support STATIC
  tests/e2e/driver/controls.cpp
  tests/e2e/driver/input.cpp
  tests/e2e/driver/list_input.cpp
  tests/e2e/driver/lnk_reader.cpp
  tests/e2e/driver/message_boxes.cpp
  tests/e2e/driver/png_writer.cpp
  tests/e2e/driver/process.cpp
  tests/e2e/driver/screen.cpp
  tests/e2e/driver/tooltips.cpp
  tests/e2e/driver/utf8.cpp
  tests/e2e/driver/wait.cpp
  tests/e2e/driver/window_query.cpp
  tests/e2e/world.cpp
)
target_include_directories(e2e_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(e2e_support PUBLIC morvane_platform_win GTest::gtest user32 gdi32 advapi32 shell32 ole32 uuid)
target_compile_definitions(e2e_support PUBLIC UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)
morvane_warnings(e2e_support)

add_executable(wine_platform_tests
  tests/wine/companion_library_win_test.cpp
  tests/wine/copy_kit_file_win_test.cpp
  tests/wine/folder_system_win_test.cpp
  tests/wine/dialog_keys_win_test.cpp
  tests/wine/file_system_win_test.cpp
  tests/wine/registry_win_test.cpp
)
target_link_libraries(wine_platform_tests PRIVATE morvane_platform_win e2e_support GTest::gtest_main)
target_link_options(wine_platform_tests PRIVATE -static)
morvane_warnings(wine_platform_tests)

add_executable(e2e_tests
  tests/e2e/display_scale_test.cpp
  tests/e2e/dll_planting_test.cpp
  tests/e2e/folder_chooser_test.cpp
  tests/e2e/hostile_input_test.cpp
  tests/e2e/installation_test.cpp
  tests/e2e/leaving_test.cpp
  tests/e2e/silent_test.cpp
  tests/e2e/start_states_test.cpp
  tests/e2e/uninstall_test.cpp
  tests/e2e/user_input_test.cpp
)
target_link_libraries(e2e_tests PRIVATE e2e_support GTest::gtest_main)
target_link_options(e2e_tests PRIVATE -static)
morvane_warnings(e2e_tests)

add_executable(hold_file tests/wine/hold_file.cpp)
add_executable(unhardened_probe tests/e2e/helpers/unhardened_probe.cpp)
add_executable(fake_regedit tests/e2e/helpers/fake_regedit.cpp)
foreach(helper hold_file unhardened_probe fake_regedit)
  target_compile_definitions(${helper} PRIVATE UNICODE _UNICODE)
  target_link_options(${helper} PRIVATE -static -municode)
endforeach()
add_library(planted_dll SHARED tests/e2e/helpers/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib.a")
target_compile_definitions(planted_dll PRIVATE UNICODE _UNICODE)
target_link_options(planted_dll PRIVATE -static)

add_executable(windowshot tests/e2e/windowshot.cpp)
target_link_libraries(windowshot PRIVATE e2e_support)
target_link_options(windowshot PRIVATE -static -municode)

# Benchmarks (tools/bench.sh runs them under Wine): ratios against a
# baseline measured in the same program.
add_executable(copy_bench tests/bench/copy_bench.cpp)
target_link_libraries(copy_bench PRIVATE morvane_platform_win e2e_support)
target_link_options(copy_bench PRIVATE -static)
add_executable(folder_bench tests/bench/folder_bench.cpp)
target_link_libraries(folder_bench PRIVATE e2e_support)
target_link_options(folder_bench PRIVATE -static)
add_executable(install_bench tests/bench/install_bench.cpp)
target_link_libraries(install_bench PRIVATE e2e_support psapi)
target_link_options(install_bench PRIVATE -static)
# Start-up: setup.exe against a bare window with the same picture.
foreach(bare bare_window bare_cc6_window)
  add_executable(${bare} WIN32 tests/bench/bare_window.cpp tests/bench/bare_window.rc)
  target_include_directories(${bare} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${bare} PRIVATE UNICODE _UNICODE)
  target_link_options(${bare} PRIVATE ${MORVANE_STATIC_LINK} -municode)
endforeach()
target_compile_definitions(bare_cc6_window PRIVATE MORVANE_BARE_COMMON_CONTROLS)
add_executable(startup_bench tests/bench/startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE e2e_support psapi)
target_link_options(startup_bench PRIVATE -static)
