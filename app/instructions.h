#pragma once

#include <QStringList>

class QTextDocument;

namespace app {

// Fills the document with the start window's instructions: one paragraph per line of the text
// resource, in the monospace at 10 pt, with the editor's pictures where the text marks them.
// Returns what each picture shows, in their order, as each picture's alternative text holds it.
QStringList loadInstructions(QTextDocument *document);

} // namespace app
