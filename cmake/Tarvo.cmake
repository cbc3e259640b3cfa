# Helpers shared by every folder.

# tarvo_add_test(NAME name SOURCES a.cpp ... LIBS lib ... LABELS label [TIMEOUT s])
# A Qt Test executable run by CTest on the offscreen platform. Every test has one of the labels
# of TARVO_TEST_LABELS (README.md, Testing): `ctest -L unit` is the fast loop.
set(TARVO_TEST_LABELS unit screen reliability slow)
# The fonts of the offscreen platform on Windows (Qt reads one flat folder there; on Linux it
# asks fontconfig and this is not read): scripts/windows/build.sh gathers them for Wine.
set(TARVO_TEST_FONTDIR /usr/share/fonts/truetype CACHE PATH "QT_QPA_FONTDIR of the tests")
function(tarvo_check_test_label name label)
  if(NOT label IN_LIST TARVO_TEST_LABELS)
    message(FATAL_ERROR "test ${name}: label \"${label}\" is not one of ${TARVO_TEST_LABELS}")
  endif()
endfunction()

function(tarvo_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;LABELS" "SOURCES;LIBS" ${ARGN})
  tarvo_check_test_label(${T_NAME} "${T_LABELS}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARVO_BINARY_DIR=${CMAKE_BINARY_DIR};QT_QPA_FONTDIR=${TARVO_TEST_FONTDIR}"
    LABELS "${T_LABELS}")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    # Under the emulator (Wine) a test that skips itself as a whole counts as skipped.
    set_tests_properties(${T_NAME} PROPERTIES SKIP_REGULAR_EXPRESSION "SKIP   : [A-Za-z_]+::initTestCase\\(\\)")
  endif()
endfunction()

# tarvo_library(name SOURCES ... LIBS ...): a static library for one folder.
function(tarvo_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()
