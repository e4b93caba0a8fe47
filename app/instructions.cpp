#include "app/instructions.h"

#include "app/appearance.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

namespace app {

void loadInstructions(QTextDocument *document)
{
    QFile file(QStringLiteral(":/resources/istruzioni.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QStringList paragraphs = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!paragraphs.isEmpty() && paragraphs.last().isEmpty())
        paragraphs.removeLast(); // the file's final line break ends the last paragraph

    document->clear();
    document->setDefaultFont(monospace(10));
    QTextCursor cursor(document);
    static const QRegularExpression picture(QStringLiteral("\\{(immagine\\d)\\}"));
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        const QString &paragraph = paragraphs[i];
        qsizetype from = 0;
        for (const QRegularExpressionMatch &match : picture.globalMatch(paragraph)) {
            cursor.insertText(paragraph.mid(from, match.capturedStart() - from));
            const QString name = QStringLiteral(":/resources/%1.png").arg(match.captured(1));
            const QImage image(name);
            QTextImageFormat format;
            format.setName(name);
            format.setWidth(image.width());
            format.setHeight(image.height());
            cursor.insertImage(format);
            from = match.capturedEnd();
        }
        cursor.insertText(paragraph.mid(from));
    }
}

} // namespace app
