target_sources(qb_commands PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FindReplace.h
  ${CMAKE_CURRENT_LIST_DIR}/FindReplace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindReplaceDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/FindReplaceDialog.cpp
)
