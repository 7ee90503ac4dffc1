// Locked notes against plain ones: a 1 MB RTF note saved and read back plainly (DurableFile::write,
// then the file read), against the same note encrypted and saved, and read and decrypted. Every
// gpg call pays gpg's start and the key derivation from the passphrase (its calibrated S2K
// count), whatever the note's size: that part is measured on its own with an empty note and taken
// off, so the ratios show what locking adds for the note's bytes. Target: save and unlock each
// within twice the plain round trip (the best of the rounds), plus gpg's start. Seven rounds.
//   bench_locks [rounds]
#include "DurableFile.h"
#include "OpenPgp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

    bool report(const char *what, double plain, double limit) const
    {
        std::vector<double> extra;
        for (size_t i = 0; i < withNote.size(); ++i)
            extra.push_back(withNote[i] - gpgStart[i]);
        const double ratio = median(extra) / std::max(plain, 1e-6);
        std::printf("%-30s %7.1f ms, gpg's start %7.1f ms (medians); the note adds %6.1f ms = %5.2f x plain "
                    "(limit %gx) %s\n",
                    what, median(withNote), median(gpgStart), median(extra), ratio, limit,
                    ratio <= limit ? "ok" : "TOO SLOW");
        return ratio <= limit;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    QTemporaryDir dir;
    const QString plainPath = dir.filePath(QStringLiteral("notes.rtf"));
    const QString lockedPath = dir.filePath(QStringLiteral("notes.rtf.gpg"));
    const QByteArray note = rtfNote(1 << 20);
    const Secret passphrase(QStringLiteral("correct horse battery"));

    // The first call makes gpg's home and starts its agent; that is paid once per run of the program.
    QElapsedTimer first;
    first.start();
    const OpenPgp::Result warm = OpenPgp::encrypt({}, passphrase);
    std::printf("first call (gpg's home and agent made): %.1f ms\n", double(first.nsecsElapsed()) / 1e6);
    if (!warm) {
        std::printf("gpg failed: %s\n", qPrintable(warm.detail));
        return 1;
    }

    double plainRoundTrip = 1e12;
    Step save;
    Step unlock;
    qsizetype lockedSize = 0;
    bool fine = true;
    for (int round = 0; round < rounds && fine; ++round) {
        plainRoundTrip =
            std::min(plainRoundTrip, timedMs(fine, [&] {
                         return !DurableFile::write(plainPath, note) && readFile(plainPath) == note;
                     }));
        save.gpgStart.push_back(timedMs(fine, [&] { return bool(OpenPgp::encrypt({}, passphrase)); }));
        save.withNote.push_back(timedMs(fine, [&] {
            const OpenPgp::Result locked = OpenPgp::encrypt(note, passphrase);
            lockedSize = locked.bytes.size();
            return locked && !DurableFile::write(lockedPath, locked.bytes);
        }));
        unlock.gpgStart.push_back(
            timedMs(fine, [&] { return bool(OpenPgp::decrypt(warm.bytes, passphrase)); }));
        unlock.withNote.push_back(
            timedMs(fine, [&] { return OpenPgp::decrypt(readFile(lockedPath), passphrase).bytes == note; }));
    }
    if (!fine) {
        std::printf("a step failed\n");
        return 1;
    }

    std::printf("note %lld bytes, locked file %lld bytes; plain write and read back %.1f ms (best)\n",
                qlonglong(note.size()), qlonglong(lockedSize), plainRoundTrip);
    bool ok = save.report("save (encrypt + write)", plainRoundTrip, 2);
    ok &= unlock.report("unlock (read + decrypt)", plainRoundTrip, 2);
    return ok ? 0 : 1;
}
