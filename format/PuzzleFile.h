// Reading and writing puzzle files (.pxg): a 25-byte header and four little-endian int32 blocks.
#pragma once

#include "format/PuzzleDocument.h"

#include <QString>
#include <stdexcept>

class QIODevice;

// A file or stream failure; what() is the text shown to the player.
class EPuzzleError : public std::runtime_error {
public:
    explicit EPuzzleError(const QString &message);
    QString Message() const;
};

namespace PuzzleFile {

constexpr int HeaderSize = 25;
// Headers outside these bounds are rejected before anything is allocated.
constexpr int32_t MaxLineCount = 1000;

struct Header {
    uint8_t InProgress = 0;
    double ElapsedTime = 0.0;
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    int32_t RowClueDepth = 0;
    int32_t ColClueDepth = 0;
};

QString CannotOpenText(const QString &path);
QString CannotCreateText(const QString &path);
QString InvalidText(const QString &path);
QString StreamReadText();
QString StreamWriteText();

// Size of the full form for a header's dimensions.
qint64 FullSize(const Header &h);
bool HeaderInBounds(const Header &h);

Header DecodeHeader(const char *bytes);        // bytes: HeaderSize of them
QByteArray EncodeHeader(const Header &h);

// Reads a whole document. Throws EPuzzleError with the path in the open and bounds messages.
PuzzleDocument Read(QIODevice &device, const QString &pathForMessages);
PuzzleDocument ReadFile(const QString &path);

// The full form of a document, byte for byte.
QByteArray Serialize(const PuzzleDocument &doc);
// Writes the full form; throws "Stream write error" if the device takes less than all of it.
void Write(QIODevice &device, const PuzzleDocument &doc);

enum class Target { ExistingFile, ChosenPath, NewFile };
// Saves atomically: the old file stays whole unless every byte of the new one reached the disk.
// ExistingFile is the document's own file, which must still exist; ChosenPath may be created.
// NewFile is only ever created: anything at the name, even a symbolic link pointing nowhere,
// makes it fail with CannotCreateText, and nothing is written through a link.
void SaveFile(const QString &path, const PuzzleDocument &doc, Target target);
// Any bytes (an exported text, a rendered picture), saved as SaveFile saves a document.
void SaveBytes(const QString &path, const QByteArray &bytes, Target target);

} // namespace PuzzleFile
