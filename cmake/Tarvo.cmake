# Helpers shared by every folder.

# tarvo_add_test(NAME name SOURCES a.cpp ... LIBS lib ... LABELS label [TIMEOUT s])
# A Qt Test executable run by CTest on the offscreen platform. Every test has one of the labels
# of TARVO_TEST_LABELS (README.md, Testing): `ctest -L unit` is the fast loop.
set(TARVO_TEST_LABELS unit screen reliability slow)
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
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARVO_BINARY_DIR=${CMAKE_BINARY_DIR};QT_QPA_FONTDIR=/usr/share/fonts/truetype"
    LABELS "${T_LABELS}")
endfunction()

# The layering block of docs/DEVELOPING.md (```layering) names every target of ours and the
# targets directly below it. The include check reads it, and the build links each target to
# exactly those targets: the block is the one list of who depends on whom. LIBS and
# PRIVATE_LIBS name only libraries that are not ours (Qt, SQLite, ...).
set(TARVO_LAYERING_FILE ${PROJECT_SOURCE_DIR}/docs/DEVELOPING.md)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARVO_LAYERING_FILE})
file(READ ${TARVO_LAYERING_FILE} _tarvo_guide)
if(NOT _tarvo_guide MATCHES "```layering\n([^`]*)```")
  message(FATAL_ERROR "${TARVO_LAYERING_FILE}: no complete ```layering block")
endif()
string(REPLACE "\n" ";" _tarvo_layer_lines "${CMAKE_MATCH_1}")
foreach(_line IN LISTS _tarvo_layer_lines)
  string(STRIP "${_line}" _line)
  if(_line STREQUAL "")
    continue()
  endif()
  if(NOT _line MATCHES "^([^: ]+):(.*)$")
    message(FATAL_ERROR "${TARVO_LAYERING_FILE}: expected \"target: lower ...\", found \"${_line}\"")
  endif()
  set(_target ${CMAKE_MATCH_1})
  string(STRIP "${CMAKE_MATCH_2}" _lower)
  separate_arguments(_lower UNIX_COMMAND "${_lower}")
  set_property(GLOBAL APPEND PROPERTY TARVO_LAYERED_TARGETS ${_target})
  set_property(GLOBAL PROPERTY TARVO_LAYER_${_target} "${_lower}")
endforeach()

# The targets directly below target in the layering block; a target without a line stops the
# configuration, and so does a target of ours in a list of other libraries.
function(tarvo_layer_libs target out)
  get_property(known GLOBAL PROPERTY TARVO_LAYERED_TARGETS)
  if(NOT target IN_LIST known)
    message(FATAL_ERROR "${target} has no line in the layering block of ${TARVO_LAYERING_FILE}")
  endif()
  foreach(lib IN LISTS ARGN)
    if(lib MATCHES "^tarvo[-_]")
      message(FATAL_ERROR "${target} names ${lib} among its other libraries: what it links of ours comes from "
                          "its line in the layering block of ${TARVO_LAYERING_FILE}")
    endif()
  endforeach()
  get_property(lower GLOBAL PROPERTY TARVO_LAYER_${target})
  set(${out} ${lower} PARENT_SCOPE)
endfunction()

# tarvo_library(name SOURCES ... LIBS ... PRIVATE_LIBS ...): a static library for one folder,
# linked to the targets below it in the layering block and to the other libraries named.
function(tarvo_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  tarvo_layer_libs(${name} layers ${L_LIBS} ${L_PRIVATE_LIBS})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${layers} ${L_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()

# tarvo_executable(name SOURCES ... LIBS ...): a program, linked likewise.
function(tarvo_executable name)
  cmake_parse_arguments(E "" "" "SOURCES;LIBS" ${ARGN})
  tarvo_layer_libs(${name} layers ${E_LIBS})
  add_executable(${name} ${E_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${layers} ${E_LIBS})
endfunction()
