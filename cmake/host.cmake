# Host build: the portable logic against fakes, with its unit tests.
target_sources(morvane_logic PRIVATE platform/text_case_host.cpp)

add_library(morvane_fakes STATIC
  platform/fakes/fake_file_system.cpp
  platform/fakes/fake_registry.cpp
)
target_link_libraries(morvane_fakes PUBLIC morvane_logic)
morvane_warnings(morvane_fakes)

add_executable(unit_tests
  app/background_picture_test.cpp
  app/command_line_test.cpp
  app/disk_space_caption_test.cpp
  app/frm_main_test.cpp
  app/modMain_test.cpp
  app/hostile_input_test.cpp
  app/silent_outcomes_test.cpp
  app/silent_setup_test.cpp
  app/single_setup_test.cpp
  app/texts_test.cpp
  app/window_actions_test.cpp
  folder/frm_folder_test.cpp
  install/copy_kit_file_test.cpp
  install/installation_test.cpp
  install/kit_copy_test.cpp
  platform/folder_access_test.cpp
  platform/log_sink_test.cpp
  platform/text_test.cpp
  platform/modReg_test.cpp
  platform/sha256_test.cpp
  platform/sort_test.cpp
  uninstall/removal_test.cpp
  platform/fakes/fake_file_system_test.cpp
)
target_link_libraries(unit_tests PRIVATE morvane_fakes GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE MORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
morvane_warnings(unit_tests)

enable_testing()
include(GoogleTest)
gtest_discover_tests(unit_tests)
