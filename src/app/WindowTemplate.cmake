# The window-template block of the program, generated from src/app/MainWindowDescription.cpp
# by tools/windowgen and compiled into a library of its own.
set(window_template_source ${CMAKE_CURRENT_BINARY_DIR}/MainWindowTemplate.cpp)
add_custom_command(
  OUTPUT ${window_template_source}
  COMMAND windowgen ${window_template_source}
  DEPENDS windowgen
  COMMENT "Window template of the main window")
add_library(impostra_window_template STATIC ${window_template_source})
target_include_directories(impostra_window_template PUBLIC ${PROJECT_SOURCE_DIR}/src)
