#pragma once

class Quillbox;

// Each subsystem connects its commands to the main window's menu items and toolbar buttons in a
// file of its own, so the main window stays free of subsystem logic.
void wireEditing(Quillbox &window);      // formatting toolbar, fonts, painter, edit commands, find
void wireNoteCommands(Quillbox &window); // new, open, save copy, clear, printing
void wireLaunching(Quillbox &window);    // applications menu, run dialog, launching from note text
void wirePreferences(Quillbox &window);  // setup dialog
void wireAutoCompletion(Quillbox &window);
void wireTrayAndHelp(Quillbox &window); // tray icon, help, about
void wireNoteHistory(Quillbox &window); // earlier and second versions of a note
void wireSpelling(Quillbox &window);    // spell check, after wireEditing
void wireLockedNotes(Quillbox &window); // lock, unlock, lock again; after the tray and preferences
void wireHotKey(Quillbox &window);      // the global hot key; Setup's Apply changes it
