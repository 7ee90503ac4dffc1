// Codec benchmark: a 10 MB rich-edit style note (formatting every few words, several fonts and
// colours, bullets) read and written, against Qt's own HTML path for the same content in the
// same run. Prints ratios; nothing here is a pass/fail test.
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

QByteArray richEditDocument(qsizetype targetBytes)
{
    QByteArray rtf("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
                   "{\\f1\\fnil\\fcharset0 Arial;}{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fnil\\fcharset0 Courier New;}}\r\n"
                   "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n"
                   "\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\f0\\fs22 ");
    static const char *words[] = {"note", "meeting", "caf\\'e9", "phone", "address", "remember", "tomorrow", "list"};
    int n = 0;
    while (rtf.size() < targetBytes) {
        if (n % 40 == 0)
            rtf += "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 ";
        rtf += "\\b ";
        rtf += words[n % 8];
        rtf += "\\b0  \\i\\cf1 ";
        rtf += words[(n + 3) % 8];
        rtf += "\\i0\\cf0  \\f1\\fs24 ";
        rtf += words[(n + 5) % 8];
        rtf += " and\\f0\\fs22  \\ul\\cf3 ";
        rtf += words[(n + 1) % 8];
        rtf += "\\ulnone\\cf0  plain words here ";
        if (++n % 10 == 0)
            rtf += n % 40 == 0 ? "\\par\r\n\\pard\\sa200\\sl276\\slmult1 " : "\\par\r\n";
    }
    return rtf + "\\par\r\n}\r\n";
}

double seconds(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const qsizetype size = argc > 1 ? QByteArray(argv[1]).toLongLong() * 1024 * 1024 : 10 * 1024 * 1024;
    const QByteArray rtf = richEditDocument(size);

    QElapsedTimer t;
    t.start();
    const QString text = rtf::plainText(rtf);
    const double extract = seconds(t);

    const long before = residentKb();
    QTextDocument doc;
    t.restart();
    rtf::readInto(&doc, rtf);
    const double read = seconds(t);
    const long after = residentKb();

    t.restart();
    const QByteArray written = rtf::write(&doc);
    const double write = seconds(t);

    t.restart();
    const QString html = doc.toHtml();
    const double toHtml = seconds(t);

    QTextDocument htmlDoc;
    t.restart();
    htmlDoc.setHtml(html);
    const double setHtml = seconds(t);

    const double mb = rtf.size() / 1e6;
    std::printf("document: %.1f MB RTF, %lld characters, %d paragraphs\n", mb, static_cast<long long>(text.size()), doc.blockCount());
    std::printf("plain-text extraction: %.3f s = %.0f MB/s (target >= 100)\n", extract, mb / extract);
    std::printf("read into document:    %.3f s; setHtml of the same content %.3f s; ratio %.2f (target <= 1.0)\n", read, setHtml, read / setHtml);
    std::printf("write:                 %.3f s; toHtml %.3f s; ratio %.2f (target <= 1.0)\n", write, toHtml, write / toHtml);
    std::printf("extra memory reading:  %.1f MB = %.2f x the RTF size (target <= 3)\n", (after - before) / 1024.0,
                (after - before) * 1024.0 / rtf.size());
    std::printf("written RTF:           %.1f MB\n", written.size() / 1e6);
    return 0;
}
