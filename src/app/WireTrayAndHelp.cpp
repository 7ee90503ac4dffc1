#include "Quillbox.h"
#include "Wiring.h"

void wireTrayAndHelp(Quillbox &)
{
}
