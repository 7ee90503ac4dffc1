// Another instance of the program, as far as the settings store is concerned: reads (two
// arguments) or writes (three arguments) one key of the store at the given path.
#include "SettingsStore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    SettingsStore store(args.at(1));
    if (args.size() >= 4)
        return store.SaveSettingValue(args.at(2), args.at(3)) ? 0 : 1;
    std::fputs(store.GetSettingValue(args.at(2)).toUtf8().constData(), stdout);
    return 0;
}
