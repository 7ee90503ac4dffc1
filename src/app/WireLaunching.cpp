#include "Quillbox.h"
#include "Wiring.h"

void wireLaunching(Quillbox &)
{
}
