#pragma once

#include <QPoint>
#include <QString>

// The bridge to the outside auto-completion service.
class UasBridge
{
public:
    bool RegisterWithUAS();
    bool UnregisterFromUAS();
};
