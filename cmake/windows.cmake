# The Windows program, its window-level tests, the end-to-end suite and the benchmark.

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501)

file(GLOB APP_SOURCES CONFIGURE_DEPENDS
  framework/*.cpp app/*.cpp editor/*.cpp player/*.cpp tray/*.cpp print/*.cpp
  audio/*_win.cpp persist/*_win.cpp playlist/*_win.cpp)
list(FILTER APP_SOURCES EXCLUDE REGEX "app/main\\.cpp$")
add_library(quillon_app STATIC ${APP_SOURCES})
target_link_libraries(quillon_app PUBLIC quillon_core
  comctl32 comdlg32 shell32 winmm gdi32 user32 kernel32)

# Resources go into an object library so that the tests carry the same
# dialogs, menus, strings and icons as the program.
add_library(quillon_res OBJECT res/quillon.rc)
file(GLOB RES_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/icons/*.ico)
set_source_files_properties(res/quillon.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/quillon.manifest;${CMAKE_SOURCE_DIR}/res/resource.h;${RES_ICONS}")
target_include_directories(quillon_res PRIVATE ${CMAKE_SOURCE_DIR}/res)

add_executable(quillon WIN32 app/main.cpp $<TARGET_OBJECTS:quillon_res>)
target_link_libraries(quillon PRIVATE quillon_app)

# The wrapper that runs a Windows program under the project's Wine prefix.
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
set_property(TARGET unit_tests PROPERTY CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Window-level tests: each file is its own process, so that windows, the audio
# device and the tray never carry over from one test file to the next.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win/*_test.cpp)
add_library(quillon_testsupport INTERFACE) # tests/win/support: headers only
target_link_libraries(quillon_testsupport INTERFACE quillon_app GTest::gtest)
target_include_directories(quillon_testsupport INTERFACE ${CMAKE_SOURCE_DIR}/tests/win)
foreach(src ${WIN_TEST_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} $<TARGET_OBJECTS:quillon_res>)
  target_link_libraries(${name} PRIVATE quillon_testsupport GTest::gtest_main)
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS win)
endforeach()

# A machine without an MP3 decoder: the player's NoDecoder cases alone, with
# Wine's GStreamer given an empty plugin folder and a registry of its own.
if(TARGET player_test)
  set(NO_DECODER_DIR ${CMAKE_BINARY_DIR}/no-gstreamer)
  file(MAKE_DIRECTORY ${NO_DECODER_DIR})
  set_tests_properties(player_test PROPERTIES ENVIRONMENT "GTEST_FILTER=-NoDecoder.*")
  add_test(NAME player_no_decoder COMMAND player_test --gtest_filter=NoDecoder.*)
  set_tests_properties(player_no_decoder PROPERTIES TIMEOUT 120 LABELS win ENVIRONMENT
    "GST_PLUGIN_SYSTEM_PATH_1_0=${NO_DECODER_DIR};GST_PLUGIN_PATH_1_0=;GST_REGISTRY_1_0=${NO_DECODER_DIR}/registry.bin")
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

# The MP3 check that ./test and ./run make before anything plays.
add_executable(mci_check scripts/preflight/mci_check.cpp)
target_link_libraries(mci_check PRIVATE winmm)
set_target_properties(mci_check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
