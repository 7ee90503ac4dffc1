#include "Quillbox.h"
#include "Wiring.h"

void wireNoteCommands(Quillbox &)
{
}
