#include "app/instructions.h"

#include "app/appearance.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrameFormat>
#include <QTextImageFormat>
#include <QtEndian>

#include <climits>
#include <cmath>

namespace app {

namespace {

// A picture's size from its PNG header; asking QImageReader would first load every image
// format plugin, which costs the start window a tenth of its start-up. Other files still go to
// QImageReader.
QSize pictureSize(const QString &name)
{
    QFile file(name);
    if (file.open(QIODevice::ReadOnly)) {
        // The signature, then the first chunk, IHDR: its length, its type, width, height.
        const QByteArray header = file.read(24);
        if (header.size() == 24 && header.startsWith("\x89PNG\r\n\x1a\n") &&
            header.mid(12, 4) == "IHDR") {
            const auto *data = reinterpret_cast<const uchar *>(header.constData());
            const auto width = qFromBigEndian<quint32>(data + 16);
            const auto height = qFromBigEndian<quint32>(data + 20);
            if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX)
                return QSize(int(width), int(height));
        }
    }
    return QImageReader(name).size();
}

// What each picture shows, for those who do not see it.
QString pictureDescription(const QString &picture)
{
    if (picture == u"immagine1")
        return QStringLiteral("il riquadro SEGMENTI, con le scelte AB, BC, CD, DE");
    if (picture == u"immagine2")
        return QStringLiteral("i riquadri SPOSTAMENTO VERTICALE e SPOSTAMENTO ORIZZONTALE, "
                              "ciascuno con la barra, la sua scala, il valore e il tasto Azzera");
    if (picture == u"immagine3")
        return QStringLiteral("il riquadro INCREMENTO DI ALFA, con le caselle Verticale e "
                              "Orizzontale");
    if (picture == u"immagine4")
        return QStringLiteral("la casella Incremento dei Punti-Curva");
    return {};
}

} // namespace

QStringList loadInstructions(QTextDocument *document)
{
    QStringList descriptions;
    QFile file(QStringLiteral(":/resources/istruzioni.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return descriptions;
    QStringList paragraphs = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!paragraphs.isEmpty() && paragraphs.last().isEmpty())
        paragraphs.removeLast(); // the file's final line break ends the last paragraph

    document->clear();
    document->setDefaultFont(monospace(10));
    QTextCursor cursor(document);
    static const QRegularExpression picture(QStringLiteral("\\{(immagine\\d)\\}"));
    // A blank line parts the paragraphs at half a line's height (whole pixels, so that no text
    // or picture falls between two rows): the whole page fits its area on the start window.
    QTextBlockFormat textLine;
    QTextBlockFormat blankLine;
    blankLine.setLineHeight(std::ceil(QFontMetricsF(document->defaultFont()).lineSpacing() / 2),
                            QTextBlockFormat::FixedHeight);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const QString &paragraph = paragraphs[i];
        const QTextBlockFormat &line = paragraph.trimmed().isEmpty() ? blankLine : textLine;
        if (i > 0)
            cursor.insertBlock(line);
        else
            cursor.setBlockFormat(line);
        const QRegularExpressionMatch match = picture.match(paragraph);
        if (!match.hasMatch()) {
            cursor.insertText(paragraph);
            continue;
        }
        const QString name = QStringLiteral(":/resources/%1.png").arg(match.captured(1));
        // The header's size only: the page decodes the picture when it first paints it.
        const QSize image = pictureSize(name);
        // Painted from the file of twice the size (immagine1@2x.png) where the screen's scale
        // is 2: the page's image handler picks it by name.
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(image.width());
        format.setHeight(image.height());
        descriptions << pictureDescription(match.captured(1));
        format.setProperty(QTextFormat::ImageAltText, descriptions.last());
        QString text = paragraph;
        text.remove(match.capturedStart(), match.capturedLength());
        // A picture beside its paragraph's text floats at the paragraph's start, on the side
        // where the text names it, so the text runs along it as on the printed page and the
        // whole document fits its area; a picture alone stays in the line.
        if (text.isEmpty())
            cursor.insertImage(format);
        else
            cursor.insertImage(format, match.capturedStart() == 0 ? QTextFrameFormat::FloatLeft
                                                                  : QTextFrameFormat::FloatRight);
        cursor.insertText(text);
    }
    return descriptions;
}

} // namespace app
