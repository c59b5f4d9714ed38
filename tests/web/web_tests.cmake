# The browser tree's tests (included from tests/CMakeLists.txt when building with emscripten).
# node 18 and later fetch the wasm file through their own fetch, which emscripten's loader
# of this age does not expect: the module is compiled at once instead.
target_link_options(unit_tests PRIVATE -sWASM_ASYNC_COMPILATION=0 -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=1)
# Cases the browser cannot hold, each left out with its reason:
# - a second process (fork) writing at once, and FIFOs: a page is one process, and its
#   in-memory file system has no FIFOs;
# - the question check's picture loader: its workers are threads, and a page without
#   cross-origin isolation has none (the page's window reads a picture at each take, which
#   web.e2e.check covers).
set(zel_web_skipped
  ProfileFileTest.TwoWritersAtOnceLoseNothing
  FileNamesTest.AFifoWithAVoicesNameDoesNotBlockTheCheck
  ReadRegularFile.RefusesWhatWouldBlockOrNeverEnd
  CheckPictureLoader.*)
list(JOIN zel_web_skipped ":" zel_web_filter)
add_test(NAME web.unit_tests COMMAND node $<TARGET_FILE:unit_tests> --gtest_brief=1
  --gtest_filter=-${zel_web_filter})
set_tests_properties(web.unit_tests PROPERTIES TIMEOUT 900)

# End to end: the site (built by the zel_site target) used in headless chromium through the
# DevTools protocol, with touch, as a child on a tablet would.
find_program(ZEL_CHROMIUM chromium)
find_program(ZEL_WEB_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(ZEL_CHROMIUM AND ZEL_WEB_PYTHON)
  foreach(test typing keys dialogs films folder offline trace files question check settings)
    add_test(NAME web.e2e.${test}
      COMMAND ${ZEL_WEB_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/web/e2e.py ${ZEL_WEB_SITE} ${test}
              ${CMAKE_CURRENT_BINARY_DIR}/web_e2e_${test})
    set_tests_properties(web.e2e.${test} PROPERTIES TIMEOUT 600)
  endforeach()
  # The sheet printed to PDF, held against its geometry by the desktop's own check, which the
  # main tree builds (./test gives its path; it is built before the tests run).
  set(ZEL_LINUX_SHEET_CHECK "" CACHE FILEPATH "The main tree's sheet_check, for web.e2e.print")
  add_test(NAME web.e2e.print
    COMMAND ${ZEL_WEB_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/web/e2e.py ${ZEL_WEB_SITE} print
            ${CMAKE_CURRENT_BINARY_DIR}/web_e2e_print ${ZEL_LINUX_SHEET_CHECK})
  set_tests_properties(web.e2e.print PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
elseif(ZEL_REQUIRE_ALL_TESTS)
  message(FATAL_ERROR "chromium or /usr/bin/python3 is missing: the browser's end-to-end tests cannot run")
endif()
