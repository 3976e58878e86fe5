// Decodes JPEG pictures at full size with libjpeg, for the board backdrop and the workspace.
#pragma once

#include <QImage>
#include <QString>

// The picture in the file at its own size, as Format_RGB32; colour and grayscale files alike.
// Throws std::runtime_error, never returns a null image: a missing or unreadable file, data that
// is not a JPEG, and a damaged or cut-off picture (libjpeg's warnings count as failures) all
// throw. Callers that treat a bad picture as "no picture" catch it.
QImage DecodeJpegFile(const QString &path);

// The same for bytes already in memory.
QImage DecodeJpegData(const QByteArray &bytes);
