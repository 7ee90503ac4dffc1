// libFuzzer target: the note reader must survive any bytes, and what it reads must write and
// read back to the same text.
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {

// The writer leaves out control characters (a plain-text file may hold NULs) and stray object
// marks; everything else must come back.
QString comparable(QString text)
{
    text.removeIf([](QChar c) {
        return (c.unicode() < 0x20 && c != u'\t' && c != u'\n') || c.unicode() == 0x7F ||
               c == QChar::ObjectReplacementCharacter;
    });
    return text.replace(QChar(QChar::LineSeparator), u'\n');
}

// The text-only reader gives a table row as one line with its cells separated by tabs (and no
// trailing empty cells), where the document has a paragraph per cell: against it, only the
// characters between breaks are compared.
QString withoutBreaks(QString text)
{
    text = comparable(std::move(text));
    text.removeIf([](QChar c) { return c == u'\t' || c == u'\n'; });
    return text;
}

// Reading what we wrote into a second document checks paragraphs and cells too, but costs as
// much as the first read. One input in four gets it, chosen by its bytes so that a saved input
// replays the same way; every input is read back by the text-only reader.
bool readsBackIntoDocument(QByteArrayView bytes)
{
    return qHash(bytes) % 4 == 0;
}

// Damaged input is what the fuzzer feeds; the reader's note about each one would only slow it.
void ignoreMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "rtf_reader_fuzzer";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const auto previous = qInstallMessageHandler(ignoreMessages);
    (void)previous;

    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)rtf::plainText(bytes);
    // Reading clears a document first, so two kept for the whole run save building them anew.
    static QTextDocument doc;
    static QTextDocument again;
    rtf::readInto(&doc, bytes);
    const QByteArray written = rtf::write(&doc);
    const QString text = doc.toPlainText();
    if (withoutBreaks(rtf::plainText(written)) != withoutBreaks(text))
        __builtin_trap(); // what we write must read back to the same text
    if (readsBackIntoDocument(bytes)) {
        rtf::readInto(&again, written);
        if (comparable(again.toPlainText()) != comparable(text))
            __builtin_trap();
    }
    return 0;
}
