# New, Open, Save Copy As, Clear, and printing.
qb_add_test(tst_notecommands SOURCES tst_notecommands.cpp tst_notecommands_window.h LIBS qb_commands)
qb_add_test(tst_printing SOURCES tst_printing.cpp tst_printing_pdfpages.h tst_notecommands_window.h
  LIBS qb_commands Qt6::PrintSupport)
