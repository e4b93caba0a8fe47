#pragma once

class QTextDocument;

namespace app {

// Fills the document with the start window's instructions: one paragraph per line of the text
// resource, in the monospace at 10 pt, with the editor's pictures where the text marks them.
void loadInstructions(QTextDocument *document);

} // namespace app
