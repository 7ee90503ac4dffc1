// Pictures read from a note, or pasted, become image resources of the document.
#include "DocumentBuilder.h"

#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

namespace rtf {

namespace {

// What stands in for a picture we cannot draw: a framed grey box, drawn small and scaled to the
// picture's size, so that a file full of such pictures costs little memory.
QImage placeholder(int width, int height)
{
    const QSize size = QSize(width, height).scaled(64, 64, Qt::KeepAspectRatio).expandedTo(QSize(8, 8));
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&image);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(image.rect().topLeft(), image.rect().bottomRight());
    painter.drawLine(image.rect().bottomLeft(), image.rect().topRight());
    return image;
}

} // namespace

QTextImageFormat pictureFormat(QTextDocument *doc, const Picture &picture)
{
    // Named after the content, so the same picture is stored once and names are stable.
    const QByteArray hash = QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1).toHex().left(16);
    const char *suffix = picture.kind == Picture::Kind::Png    ? ".png"
                         : picture.kind == Picture::Kind::Jpeg ? ".jpg"
                                                               : ".rtf";
    const QUrl name(QStringLiteral("rtfimage:") + QString::fromLatin1(hash + suffix));
    QTextImageFormat format;
    format.setName(name.toString());
    if (picture.kind == Picture::Kind::Raw) {
        const int width = picture.width > 0 ? picture.width : 96;
        const int height = picture.height > 0 ? picture.height : 96;
        if (!doc->resource(QTextDocument::ImageResource, name).isValid())
            doc->addResource(QTextDocument::ImageResource, name, placeholder(width, height));
        format.setProperty(kRawPictureProperty, picture.data);
        format.setWidth(width);
        format.setHeight(height);
        return format;
    }
    doc->addResource(QTextDocument::ImageResource, name, picture.data);
    if (picture.width > 0)
        format.setWidth(picture.width);
    if (picture.height > 0)
        format.setHeight(picture.height);
    return format;
}

} // namespace rtf
