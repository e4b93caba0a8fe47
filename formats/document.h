#pragma once

#include "common/basepoints.h"
#include "editor/curve/editorsnapshot.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <variant>

// The work as a curve document: a JSON file ("*.cinquepunti") that brings back exactly what the
// base points window and the editor hold. Widget-free.
struct CurveDocument
{
    // The base points window: its ten boxes' texts (AX, AY, BX ... EY) and the points of its
    // last "===>>".
    std::array<QString, 10> pointTexts;
    BasePoints points;
    // The editor, as undo restores it.
    EditorSnapshot editor;
    // The calibration ratio the work was drawn with.
    double calibrationRatio = 0;
    // The file the work belongs to: kept in recovery files only, empty elsewhere.
    QString workFile;

    friend bool operator==(const CurveDocument &, const CurveDocument &) = default;
};

inline constexpr int documentVersion = 1;
inline constexpr auto documentExtension = "cinquepunti";

// The document's JSON text, indented, every double with all its digits, and the locale the
// texts the user typed were written in.
QByteArray documentJson(const CurveDocument &document, const QLocale &writer = QLocale());

// The document the text holds, or why it holds none, in Italian ("non è un documento di
// Cinquepunti", "manca il campo «editor»" ...). Refuses every value the editor could never hold.
// A number typed under another locale comes back written in the reader's.
std::variant<CurveDocument, QString> parseDocument(const QByteArray &json,
                                                   const QLocale &reader = QLocale());

// Reads and parses the file; a directory, an unreadable or a much too large file is refused
// before it is read.
std::variant<CurveDocument, QString> readDocument(const QString &fileName);

// The name with the document's extension, added when it has none.
QString documentFileName(const QString &fileName);
