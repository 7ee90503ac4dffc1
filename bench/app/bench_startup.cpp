// Start-up, typing and exit with big notes. Every figure is a ratio against a reference measured
// in the same run, each start a fresh process of this program, the splash and auto-completion off:
//  - process start to the first painted window, seven notes of 200 KB of RTF each against seven
//    empty notes (target: at most 1.2);
//  - one note of 5 MB: window painted (at most 1.5) and the first command handled (a tab switch
//    posted as soon as the window is painted; at most 2) against a start with empty notes;
//  - one keystroke, with its repaint, at the start and at the end of a 5 MB note against one in a
//    5 KB note (at most 2 each); also the longest stall of the event loop in the seconds after
//    typing stops, when the recovery copy is written;
//  - exit with the 5 MB note unchanged and changed, against exit with empty notes (reported);
//  - the old reference: the seven 200 KB notes against a bare Qt program showing them in seven
//    QTextEdit tabs loaded with setHtml (at most 1.5).
//   bench_startup [rounds]
#include "Dialogs.h"
#include "NoteTab.h"
#include "Platform.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "RtfReader.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMainWindow>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>

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

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Notices the first paint of the tab strip and of the panel in view.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(Quillbox &window) : m_window(window) { qApp->installEventFilter(this); }
    bool painted() const { return m_strip && m_panel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget == m_window.tabStrip())
            m_strip = true;
        for (int n = 1; n <= NoteTabs::Count; ++n) {
            const auto *panel = m_window.findChild<QWidget *>(QStringLiteral("Picture%1").arg(n));
            if (m_window.isPanelVisible(n) && panel && (panel == widget || panel->isAncestorOf(widget)))
                m_panel = true;
        }
        return false;
    }

private:
    Quillbox &m_window;
    bool m_strip = false;
    bool m_panel = false;
};

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Keeps events flowing until every note is in its editor.
void waitForNotes(Quillbox &window)
{
    waitUntil([&window] {
        for (int n = 1; n <= NoteTabs::Count; ++n)
            if (!window.isNoteLoaded(n))
                return false;
        return true;
    });
}

std::unique_ptr<Quillbox> startQuillbox(SettingsStore &settings, Platform &platform)
{
    Dialogs::setNeverBlock(true);
    auto window = std::make_unique<Quillbox>(settings, platform);
    if (!window->startUp())
        return nullptr;
    window->showAsStarted();
    return window;
}

// Prints: window painted, first command handled (both since process start) and exit, in ms.
// With "changed" the note in view is typed into before exit.
int runQuillbox(const QString &dir, bool changeBeforeExit, const QElapsedTimer &sinceStart)
{
    SettingsStore settings(dir + QStringLiteral("/settings.ini"));
    Platform platform = Platform::createNative();
    std::unique_ptr<Quillbox> window = startQuillbox(settings, platform);
    if (!window)
        return 1;
    PaintWatch watch(*window);
    waitUntil([&] { return watch.painted(); });
    const double painted = msSince(sinceStart);

    // The user's first command as soon as the window is there: another tab.
    double command = 0;
    QTimer::singleShot(0, window.get(), [&] { window->tabStrip()->setCurrentIndex(1); });
    waitUntil([&] { return window->activeNote() != 1; });
    command = msSince(sinceStart);
    window->tabStrip()->setCurrentIndex(0);

    waitForNotes(*window);
    if (changeBeforeExit)
        window->editor(1)->insertPlainText(QStringLiteral("x"));
    QElapsedTimer exit;
    exit.start();
    window->shutdown();
    std::printf("%f %f %f\n", painted, command, msSince(exit));
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
    waitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); });
    QCoreApplication::processEvents();
    std::printf("%f 0 0\n", msSince(sinceStart));
    return 0;
}

// One keystroke and what follows it (the change notification, the toolbar's sync, the repaint),
// in ms; the median of many.
double keystrokeMs(RichTextBox *box, bool atEnd)
{
    QList<double> costs;
    for (int i = 0; i < 60; ++i) {
        QTextCursor c = box->textCursor();
        c.movePosition(atEnd ? QTextCursor::End : QTextCursor::Start);
        box->setTextCursor(c);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        QCoreApplication::processEvents();
        costs << msSince(timer);
    }
    std::sort(costs.begin(), costs.end());
    return costs[costs.size() / 2];
}

// The longest the event loop stood still in the seconds after typing stopped.
double longestStallMs(int ms)
{
    QElapsedTimer timer;
    timer.start();
    double last = 0;
    double longest = 0;
    while (msSince(timer) < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double now = msSince(timer);
        longest = std::max(longest, now - last);
        last = now;
    }
    return longest;
}

// Prints the keystroke costs: 5 KB note, 5 MB start, 5 MB end; then the stalls after typing in
// the 5 KB and the 5 MB note.
int runTyping(const QString &dir)
{
    SettingsStore settings(dir + QStringLiteral("/settings.ini"));
    Platform platform = Platform::createNative();
    std::unique_ptr<Quillbox> window = startQuillbox(settings, platform);
    if (!window)
        return 1;
    waitUntil([&] { return window->windowHandle() && window->windowHandle()->isExposed(); });
    waitForNotes(*window);
    window->activateWindow();

    RichTextBox *big = window->editor(1);
    RichTextBox *small = window->editor(2);

    window->tabStrip()->setCurrentIndex(1);
    small->setFocus();
    const double smallMs = keystrokeMs(small, true);
    const double smallStall = longestStallMs(3000);
    window->tabStrip()->setCurrentIndex(0);
    big->setFocus();
    const double startMs = keystrokeMs(big, false);
    const double endMs = keystrokeMs(big, true);
    const double bigStall = longestStallMs(3000);
    std::printf("%f %f %f %f %f\n", smallMs, startMs, endMs, smallStall, bigStall);
    window->shutdown();
    return 0;
}

// One fresh process of this program; the numbers it printed.
QList<double> measure(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s did not run\n", qPrintable(args.join(u' ')));
        std::exit(1);
    }
    QList<double> values;
    for (const QByteArray &word : p.readAllStandardOutput().trimmed().split(' '))
        values << word.toDouble();
    return values;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// A note directory with its settings: notes[n - 1] is note n's RTF (empty: no file).
QString makeSet(const QString &root, const QString &name, const QList<QByteArray> &notes)
{
    const QString dir = root + u'/' + name;
    QDir(dir).mkpath(QStringLiteral("notes"));
    for (int n = 1; n <= notes.size(); ++n) {
        if (!notes[n - 1].isEmpty())
            writeFile(NoteTabs::notePath(dir + QStringLiteral("/notes"), n), notes[n - 1]);
    }
    SettingsStore settings(dir + QStringLiteral("/settings.ini"));
    settings.SaveSettingValue(QStringLiteral("Network"), dir + QStringLiteral("/notes"));
    settings.SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
    settings.SaveSettingValue(QStringLiteral("NoSound"), QStringLiteral("1"));
    settings.SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("NO"));
    settings.SaveSettingValue(QStringLiteral("Tab6"), QStringLiteral("YES"));
    settings.SaveSettingValue(QStringLiteral("Tab7"), QStringLiteral("YES"));
    return dir;
}

struct Figures
{
    QList<double> painted, command, exit;
    void add(const QList<double> &v)
    {
        painted << v.value(0);
        command << v.value(1);
        exit << v.value(2);
    }
};

bool report(const char *what, double reference, double measured, double limit)
{
    const double ratio = measured / std::max(reference, 1e-6);
    std::printf("  %-46s %9.1f ms %9.1f ms  ratio %5.2f", what, reference, measured, ratio);
    if (limit > 0)
        std::printf("  (at most %.1f) %s", limit, ratio <= limit ? "met" : "NOT met");
    std::printf("\n");
    return limit <= 0 || ratio <= limit;
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
    if (args.size() >= 3 && args[1] == QLatin1String("--quillbox"))
        return runQuillbox(args[2], args.size() > 3 && args[3] == QLatin1String("changed"), sinceStart);
    if (args.size() == 3 && args[1] == QLatin1String("--bare"))
        return runBare(args[2], sinceStart);
    if (args.size() == 3 && args[1] == QLatin1String("--typing"))
        return runTyping(args[2]);

    const int rounds = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
    QTemporaryDir root;
    QList<QByteArray> seven;
    for (int n = 1; n <= NoteTabs::Count; ++n)
        seven << noteRtf(n, 200 * 1024);
    const QByteArray empty = noteRtf(1, 0);
    const QString sevenDir = makeSet(root.path(), QStringLiteral("seven"), seven);
    const QString emptyDir = makeSet(root.path(), QStringLiteral("empty"), QList<QByteArray>(7, empty));
    const QString bigDir = makeSet(root.path(), QStringLiteral("big"), {noteRtf(1, 5 * 1024 * 1024)});
    const QString typingDir =
        makeSet(root.path(), QStringLiteral("typing"), {noteRtf(1, 5 * 1024 * 1024), noteRtf(2, 5 * 1024)});
    QDir(sevenDir).mkpath(QStringLiteral("html"));
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        QTextDocument doc;
        rtf::readInto(&doc, seven[n - 1]);
        writeFile(sevenDir + QStringLiteral("/html/%1.html").arg(n), doc.toHtml().toUtf8());
    }

    Figures sevenRuns, emptyRuns, bigRuns, bigChangedRuns, bareRuns;
    for (int r = 0; r < rounds; ++r) {
        // Alternate the order so that warm caches favour none.
        QList<std::function<void()>> runs = {
            [&] {
                sevenRuns.add(measure({"--quillbox", sevenDir}));
            },
            [&] {
                emptyRuns.add(measure({"--quillbox", emptyDir}));
            },
            [&] {
                bigRuns.add(measure({"--quillbox", bigDir}));
            },
            [&] {
                bigChangedRuns.add(measure({"--quillbox", bigDir, "changed"}));
            },
            [&] {
                bareRuns.add(measure({"--bare", sevenDir}));
            },
        };
        if (r % 2)
            std::reverse(runs.begin(), runs.end());
        for (const auto &run : runs)
            run();
    }
    const QList<double> typing = measure({"--typing", typingDir});

    bool ok = true;
    std::printf("Quillbox Plus with big notes, %d rounds (medians); reference, measured, ratio\n", rounds);
    std::printf("start-up, seven notes of 200 KB against seven empty notes:\n");
    ok &=
        report("process start to window painted", median(emptyRuns.painted), median(sevenRuns.painted), 1.2);
    std::printf("start-up, one note of 5 MB against empty notes:\n");
    ok &= report("process start to window painted", median(emptyRuns.painted), median(bigRuns.painted), 1.5);
    ok &= report("process start to first command handled", median(emptyRuns.command), median(bigRuns.command),
                 2);
    std::printf("one keystroke with its repaint, against one in a 5 KB note:\n");
    ok &= report("at the start of a 5 MB note", typing.value(0), typing.value(1), 2);
    ok &= report("at the end of a 5 MB note", typing.value(0), typing.value(2), 2);
    report("longest stall after typing stops (5 MB note)", typing.value(3), typing.value(4), 0);
    std::printf("exit, against exit with empty notes:\n");
    report("one unchanged 5 MB note", median(emptyRuns.exit), median(bigRuns.exit), 0);
    report("one changed 5 MB note", median(emptyRuns.exit), median(bigChangedRuns.exit), 0);
    std::printf("seven notes of 200 KB against a bare Qt program showing them (setHtml):\n");
    ok &= report("process start to window painted", median(bareRuns.painted), median(sevenRuns.painted), 1.5);
    return ok ? 0 : 1;
}
