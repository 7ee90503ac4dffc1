// Start-up benchmark: Quillbox Plus from process start to its window shown, with the splash and
// auto-completion off and seven notes of about 200 KB of RTF each, against a bare Qt program that
// shows a QMainWindow with seven QTextEdit tabs holding the same notes, loaded with setHtml from
// the same content as HTML. Both run as fresh processes of this program, side by side, several
// rounds each; the figures are medians and the result is their ratio (target: at most 1.5).
//   bench_startup [rounds]
#include "Dialogs.h"
#include "NoteTab.h"
#include "Platform.h"
#include "Quillbox.h"
#include "RtfReader.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray noteRtf(int note, qsizetype targetBytes)
{
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n\\pard\\f0\\fs20 ");
    static const char *words[] = {
        "call",     "meeting", "http://example.org/page", "someone@example.org", "555-0100", "remember",
        "tomorrow", "list"};
    int n = note;
    while (rtf.size() < targetBytes) {
        rtf += "\\b ";
        rtf += words[n % 8];
        rtf += "\\b0  \\i\\cf1 ";
        rtf += words[(n + 3) % 8];
        rtf += "\\i0\\cf0  \\f1 ";
        rtf += words[(n + 5) % 8];
        rtf += "\\f0  plain words of the note ";
        if (++n % 6 == 0)
            rtf += n % 30 == 0 ? "\\par\r\n\\pard\\qc " : "\\par\r\n";
    }
    return rtf + "\\par\r\n}\r\n";
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// Waits, keeping events flowing, until the window is on screen.
void waitUntilShown(QWidget &w)
{
    while (!w.windowHandle() || !w.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

int runQuillbox(const QString &dir, const QElapsedTimer &sinceStart)
{
    Dialogs::setNeverBlock(true);
    SettingsStore settings(dir + QStringLiteral("/settings.ini"));
    Platform platform = Platform::createNative();
    Quillbox window(settings, platform);
    if (!window.startUp())
        return 1;
    window.showAsStarted();
    waitUntilShown(window);
    std::printf("%lld\n", static_cast<long long>(sinceStart.nsecsElapsed()));
    return 0;
}

int runBare(const QString &dir, const QElapsedTimer &sinceStart)
{
    QMainWindow window;
    auto *tabs = new QTabWidget(&window);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        auto *edit = new QTextEdit(tabs);
        QFile f(dir + QStringLiteral("/html/%1.html").arg(n));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        edit->setHtml(QString::fromUtf8(f.readAll()));
        tabs->addTab(edit, NoteTabs::tab(n).defaultCaption);
    }
    window.setCentralWidget(tabs);
    window.resize(483, 387);
    window.show();
    waitUntilShown(window);
    std::printf("%lld\n", static_cast<long long>(sinceStart.nsecsElapsed()));
    return 0;
}

// One fresh process of this program in the given mode; its wall time and its own figure.
bool measure(const QString &mode, const QString &dir, double *wallMs, double *innerMs)
{
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(QCoreApplication::applicationFilePath(), {mode, dir});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return false;
    *wallMs = timer.nsecsElapsed() / 1e6;
    *innerMs = p.readAllStandardOutput().trimmed().toDouble() / 1e6;
    return true;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--quillbox"))
        return runQuillbox(args[2], sinceStart);
    if (args.size() == 3 && args[1] == QLatin1String("--bare"))
        return runBare(args[2], sinceStart);

    const int rounds = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("notes"));
    QDir(dir.path()).mkpath(QStringLiteral("html"));
    qsizetype rtfBytes = 0;
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        const QByteArray rtf = noteRtf(n, 200 * 1024);
        rtfBytes += rtf.size();
        writeFile(NoteTabs::notePath(dir.filePath(QStringLiteral("notes")), n), rtf);
        QTextDocument doc;
        rtf::readInto(&doc, rtf);
        writeFile(dir.filePath(QStringLiteral("html/%1.html").arg(n)), doc.toHtml().toUtf8());
    }
    {
        SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
        settings.SaveSettingValue(QStringLiteral("Network"), dir.filePath(QStringLiteral("notes")));
        settings.SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
        settings.SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("NO"));
        settings.SaveSettingValue(QStringLiteral("Tab6"), QStringLiteral("YES"));
        settings.SaveSettingValue(QStringLiteral("Tab7"), QStringLiteral("YES"));
    }

    QList<double> ours, bare, oursInner, bareInner;
    for (int r = 0; r < rounds; ++r) {
        double wall = 0;
        double inner = 0;
        // Alternate which goes first so that warm caches favour neither.
        for (const QString &mode :
             r % 2 ? QStringList{"--bare", "--quillbox"} : QStringList{"--quillbox", "--bare"}) {
            if (!measure(mode, dir.path(), &wall, &inner)) {
                std::fprintf(stderr, "%s did not start\n", qPrintable(mode));
                return 1;
            }
            (mode == QLatin1String("--quillbox") ? ours : bare) << wall;
            (mode == QLatin1String("--quillbox") ? oursInner : bareInner) << inner;
        }
    }
    const double ratio = median(ours) / median(bare);
    std::printf("seven notes, %lld KB of RTF in all, %d rounds (medians)\n",
                static_cast<long long>(rtfBytes / 1024), rounds);
    std::printf("  process start to window shown: Quillbox Plus %.1f ms, bare Qt with setHtml %.1f ms\n",
                median(ours), median(bare));
    std::printf("  inside the process:            Quillbox Plus %.1f ms, bare Qt with setHtml %.1f ms\n",
                median(oursInner), median(bareInner));
    std::printf("  ratio %.2f (target at most 1.5): %s\n", ratio, ratio <= 1.5 ? "met" : "NOT met");
    return 0;
}
