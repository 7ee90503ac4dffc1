// rtfconv: runs the note codec on one file, so it can be checked and timed beside other
// converters.  rtfconv to-text|to-rtf|to-html FILE
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "rtfconv: %s\n", qPrintable(message));
    return 1;
}

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: rtfconv to-text|to-rtf|to-html FILE"));
    const QByteArray mode = argv[1];
    if (mode != "to-text" && mode != "to-rtf" && mode != "to-html")
        return fail(QStringLiteral("unknown conversion \"%1\"").arg(QString::fromLocal8Bit(mode)));
    const QString path = QString::fromLocal8Bit(argv[2]);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();

    if (mode == "to-text") {
        QString text = rtf::plainText(bytes);
        if (!text.isEmpty() && !text.endsWith(u'\n'))
            text += u'\n';
        print(text.toUtf8());
        return 0;
    }

    // Documents need the GUI layer for fonts; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextDocument doc;
    const rtf::ReadResult result = rtf::readInto(&doc, bytes);
    if (!result.ok)
        return fail(QStringLiteral("cannot read %1: %2").arg(path, result.warning));
    if (mode == "to-rtf")
        print(rtf::write(&doc));
    else
        print(doc.toHtml().toUtf8());
    return 0;
}
