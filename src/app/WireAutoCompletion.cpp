#include "Quillbox.h"
#include "Wiring.h"

void wireAutoCompletion(Quillbox &)
{
}
