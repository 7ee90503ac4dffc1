#pragma once

class Quillbox;

// Signs the program off from the auto-completion service; the shutdown sequence calls it after
// the window's place and size are stored. Safe to call more than once and before wiring.
void unregisterAutoCompletion(Quillbox &window);
