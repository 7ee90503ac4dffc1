#include "Quillbox.h"
#include "Wiring.h"

void wirePreferences(Quillbox &)
{
}
