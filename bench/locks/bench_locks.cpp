// Locked notes against plain ones, through the notes library as the program does it: a 1 MB RTF
// note opened (read and made a document) and saved (the document as RTF, written), plainly and
// locked. Every gpg call pays gpg's start and the key derivation from the passphrase (its
// calibrated S2K count), whatever the note's size: that part is measured on its own with an empty
// note right before, and taken off. Target: unlock and save each within twice the plain note's
// time, plus gpg's start. Seven rounds.
//   bench_locks [rounds]
#include "DurableFile.h"
#include "LockableStorage.h"
#include "NoteFiles.h"
#include "NoteText.h"
#include "OpenPgp.h"
#include "RtfParagraphCache.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

namespace {

// Words drawn at random from a small vocabulary, some bold or coloured: it compresses about as
// well as a real note, where a repeated sentence would shrink to nothing.
QByteArray rtfNote(qsizetype bytes)
{
    static const char *words[] = {"call",    "Anna",     "about",   "the",      "meeting", "on",
                                  "Tuesday", "caf\\'e9", "invoice", "remember", "milk",    "address",
                                  "phone",   "list",     "project", "draft",    "send",    "tomorrow",
                                  "at",      "and",      "review"};
    QRandomGenerator random(42);
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Courier New;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 ";
    rtf.reserve(bytes + 256);
    while (rtf.size() < bytes) {
        const quint32 pick = random.bounded(1000u);
        const QByteArray word = words[pick % std::size(words)];
        if (pick < 30)
            rtf += "{\\b " + word + "} ";
        else if (pick < 45)
            rtf += "{\\cf1 " + word + "} ";
        else if (pick < 60)
            rtf += QByteArray::number(random.bounded(10000)) + ' ';
        else
            rtf += word + (pick < 120 ? ".\\par\n" : " ");
    }
    return rtf + '}';
}

// How long step took, in milliseconds; fine turns false when it went wrong.
double timedMs(bool &fine, const std::function<bool()> &step)
{
    QElapsedTimer timer;
    timer.start();
    fine = step() && fine;
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// One of the two gpg steps, each round timed once with the note and once with an empty note
// right before it; what the note costs is the median of those differences, since the key
// derivation in both varies with the machine's load by more than the note's whole cost.
struct Step
{
    std::vector<double> withNote;
    std::vector<double> gpgStart;

    bool report(const char *what, const std::vector<double> &plainTimes, double limit) const
    {
        std::vector<double> extra;
        for (size_t i = 0; i < withNote.size(); ++i)
            extra.push_back(withNote[i] - gpgStart[i]);
        const double plain = median(plainTimes);
        const double ratio = median(extra) / std::max(plain, 1e-6);
        std::printf("%-8s plain %6.1f ms; locked %6.1f ms, gpg's start %6.1f ms (medians): the rest is "
                    "%6.1f ms = %4.2f x plain (limit %gx) %s\n",
                    what, plain, median(withNote), median(gpgStart), median(extra), ratio, limit,
                    ratio <= limit ? "ok" : "TOO SLOW");
        return ratio <= limit;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    QTemporaryDir dir;
    const QString plainPath = dir.filePath(QStringLiteral("notes.rtf"));
    const QString lockedPath = dir.filePath(QStringLiteral("notes.rtf.gpg"));
    const Secret passphrase(QStringLiteral("correct horse battery"));
    LockableStorage locked(NoteStorage::plain());
    locked.lock(passphrase);

    // The first call makes gpg's home and starts its agent; that is paid once per run of the program.
    QElapsedTimer first;
    first.start();
    const OpenPgp::Result warm = OpenPgp::encrypt({}, passphrase);
    std::printf("first call (gpg's home and agent made): %.1f ms\n", double(first.nsecsElapsed()) / 1e6);
    if (!warm || DurableFile::write(plainPath, rtfNote(1 << 20)) || locked.write(lockedPath, rtfNote(1 << 20))) {
        std::printf("gpg failed: %s\n", qPrintable(warm.detail));
        return 1;
    }
    const NoteFiles::Read opened = NoteFiles::read(NoteStorage::plain(), plainPath);
    QTextDocument *note = opened.document.get();

    // A note saved or opened afresh each time: what the storage remembers of it is forgotten.
    const auto fresh = [&] {
        locked.forgetKey();
        locked.setKey(passphrase);
    };
    const auto save = [&](const NoteStorage &storage, const QString &path) {
        rtf::ParagraphCache paragraphs;
        return !storage.write(path, NoteText::encode(note, paragraphs));
    };
    const auto open = [&](const NoteStorage &storage, const QString &path) {
        return NoteFiles::read(storage, path).loaded == NoteFiles::Loaded::Read;
    };

    std::vector<double> plainSave;
    std::vector<double> plainOpen;
    Step lockedSave;
    Step unlock;
    bool fine = note != nullptr;
    for (int round = 0; round < rounds && fine; ++round) {
        plainSave.push_back(timedMs(fine, [&] { return save(NoteStorage::plain(), plainPath); }));
        plainOpen.push_back(timedMs(fine, [&] { return open(NoteStorage::plain(), plainPath); }));
        fresh();
        lockedSave.gpgStart.push_back(timedMs(fine, [&] { return bool(OpenPgp::encrypt({}, passphrase)); }));
        lockedSave.withNote.push_back(timedMs(fine, [&] { return save(locked, lockedPath); }));
        fresh();
        unlock.gpgStart.push_back(timedMs(fine, [&] { return bool(OpenPgp::decrypt(warm.bytes, passphrase)); }));
        unlock.withNote.push_back(timedMs(fine, [&] { return open(locked, lockedPath); }));
    }
    if (!fine) {
        std::printf("a step failed\n");
        return 1;
    }

    std::printf("note %lld bytes as RTF, locked file %lld bytes\n", qlonglong(QFileInfo(plainPath).size()),
                qlonglong(QFileInfo(lockedPath).size()));
    bool ok = lockedSave.report("save", plainSave, 2);
    ok &= unlock.report("unlock", plainOpen, 2);
    return ok ? 0 : 1;
}
