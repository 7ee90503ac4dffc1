#include "UasBridge.h"

bool UasBridge::RegisterWithUAS()
{
    return false;
}

bool UasBridge::UnregisterFromUAS()
{
    return true;
}
