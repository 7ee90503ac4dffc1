qb_add_test(tst_notesearch SOURCES tst_notesearch.cpp LIBS qb_commands)
