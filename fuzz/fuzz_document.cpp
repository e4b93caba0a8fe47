#include "fuzzinput.h"

#include "formats/document.h"

#include <QByteArray>

// The curve document's reader on any bytes: it refuses them with a reason, or gives a document
// that is written and read back exactly as it is. It never crashes, hangs or leaks.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::variant<CurveDocument, QString> parsed = parseDocument(json);
    if (const QString *reason = std::get_if<QString>(&parsed)) {
        if (reason->isEmpty())
            fuzzFailure("a refusal without a reason");
        return 0;
    }
    const CurveDocument &document = std::get<CurveDocument>(parsed);
    const std::variant<CurveDocument, QString> again = parseDocument(documentJson(document));
    if (!std::holds_alternative<CurveDocument>(again) ||
        !(std::get<CurveDocument>(again) == document))
        fuzzFailure("an accepted document does not read back as itself");
    return 0;
}
