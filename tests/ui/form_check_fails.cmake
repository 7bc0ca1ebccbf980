# Proves the build's check of the form can fail: the source it makes from a
# form that names a control the table lacks must not compile, and the
# compiler must name that control and no other (not the form's frame).
#
# Usage: cmake -DCXX=compiler -DSOURCE_ROOT=dir -DWORK=dir -P form_check_fails.cmake
set(form ${CMAKE_CURRENT_LIST_DIR}/fixture/UnknownControl.ui)
set(made ${WORK}/UnknownControl.cpp)
execute_process(COMMAND ${CMAKE_COMMAND} -DFORM=${form} -DOUTPUT=${made} -P ${SOURCE_ROOT}/ui/FormControls.cmake
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ui/FormControls.cmake failed: ${result}")
endif()
execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -I${SOURCE_ROOT} ${made}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(result EQUAL 0)
  message(FATAL_ERROR "a form naming LabelNowhere compiled")
endif()
string(REGEX MATCHALL "LabelNowhere|LabelHost|Form1|centralwidget" named "${errors}")
list(REMOVE_DUPLICATES named)
if(NOT named STREQUAL "LabelNowhere")
  message(FATAL_ERROR "the errors name '${named}', not LabelNowhere alone:\n${errors}")
endif()
