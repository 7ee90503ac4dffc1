# New, Open, Save Copy As, Clear, and printing.
qb_add_test(tst_notecommands SOURCES tst_notecommands.cpp tst_notecommands_window.h LIBS qb_commands)
qb_add_test(tst_printing SOURCES tst_printing.cpp tst_printing_pdfpages.h tst_notecommands_window.h
  LIBS qb_commands Qt6::PrintSupport)

# Printing through a real spooler: the script starts cupsd with the cups-pdf printer and reads the
# printed pages back. It is not a plain qb_add_test, as the driver must run inside the script.
add_executable(tst_printing_cups tst_printing_cups.cpp tst_printing_pdfpages.h tst_notecommands_window.h)
target_link_libraries(tst_printing_cups PRIVATE Qt6::Test qb_commands Qt6::PrintSupport)
add_test(NAME printing_cups
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/printing_cups.sh $<TARGET_FILE:tst_printing_cups>)
set_tests_properties(printing_cups PROPERTIES
  LABELS printing
  TIMEOUT 600
  RESOURCE_LOCK cups
  ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-config-printing_cups;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-data-printing_cups;ASAN_OPTIONS=detect_leaks=0")
