#include "Quillbox.h"
#include "Wiring.h"

void wireEditing(Quillbox &)
{
}
