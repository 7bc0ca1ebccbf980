# Writes OUTPUT, a source that compiles only while each control the Designer
# form FORM names is one of the table's (ui/ControlList.h): a layout cannot
# name a control the table lacks. The main window itself and Qt's central
# widget are the form's frame, not controls.
#
# Usage: cmake -DFORM=MainWindow.ui -DOUTPUT=FormControls.cpp -P FormControls.cmake
file(READ ${FORM} form)
string(REGEX MATCHALL "<widget class=\"[A-Za-z0-9_]+\" name=\"[A-Za-z0-9_]+\"" widgets "${form}")
set(rows "")
foreach(widget IN LISTS widgets)
  string(REGEX REPLACE ".*class=\"([A-Za-z0-9_]+)\" name=\"([A-Za-z0-9_]+)\"" "\\1;\\2" parts "${widget}")
  list(GET parts 0 class)
  list(GET parts 1 name)
  if(NOT class STREQUAL "QMainWindow" AND NOT name STREQUAL "centralwidget")
    string(APPEND rows "    TControl::${name}, // ${class}\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "// Made from ${FORM} by ui/FormControls.cmake: a name below that is not
// in ui/ControlList.h stops the build here.
#include \"ui/Control.h\"

[[maybe_unused]] static constexpr TControl FormControls[] = {
${rows}};
" @ONLY)
