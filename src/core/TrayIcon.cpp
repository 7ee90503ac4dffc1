#include "TrayIcon.h"

TrayIcon::TrayIcon(QObject *parent) : QObject(parent) {}
TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable()
{
    return false;
}

void TrayIcon::InitTray() {}

void TrayIcon::DeleteIcon() {}
