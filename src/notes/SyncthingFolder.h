#pragma once

#include <QString>

// The folder that a sync program (Syncthing) keeps in sync and that holds `directory`, found by
// the ".stfolder" marker it keeps at the top of each synced folder; empty when there is none.
QString syncthingFolderAbove(const QString &directory);
