#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Writes the data into the file whole or not at all: an earlier file of that name stays byte
// for byte as it was unless every byte of the new one reached the disk. Returns why it failed,
// in Italian, or nothing when the file was written.
std::optional<QString> writeWholeFile(const QString &fileName, QByteArrayView data);
