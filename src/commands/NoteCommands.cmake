# New, Open, Save Copy As, Clear, and printing notes on the default printer.
target_sources(qb_commands PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/NoteCommandsLog.h
  ${CMAKE_CURRENT_LIST_DIR}/NoteCommandsLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoteWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/NoteSetCommands.h
  ${CMAKE_CURRENT_LIST_DIR}/NoteSetCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintRichText.h
  ${CMAKE_CURRENT_LIST_DIR}/PrintRichText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NotePrinting.h
  ${CMAKE_CURRENT_LIST_DIR}/NotePrinting.cpp
)
