// Reading and writing puzzle files (.pxg).
#include "format/PuzzleFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

EPuzzleError::EPuzzleError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString EPuzzleError::Message() const
{
    return QString::fromStdString(what());
}

namespace PuzzleFile {

QString CannotOpenText(const QString &path) { return QStringLiteral("Cannot open file %1").arg(path); }
QString CannotCreateText(const QString &path) { return QStringLiteral("Cannot create file %1").arg(path); }
QString InvalidText(const QString &path) { return QStringLiteral("Invalid puzzle file %1").arg(path); }
QString StreamReadText() { return QStringLiteral("Stream read error"); }
QString StreamWriteText() { return QStringLiteral("Stream write error"); }

qint64 FullSize(const Header &h)
{
    const qint64 r = h.RowCount, c = h.ColCount;
    return HeaderSize + 4 * (2 * r * c + r * h.RowClueDepth + qint64(h.ColClueDepth) * c);
}

bool HeaderInBounds(const Header &h)
{
    // A play time that is not a number, or runs backwards, can only come from a damaged file.
    return std::isfinite(h.ElapsedTime) && h.ElapsedTime >= 0 && h.ColCount >= 1 && h.ColCount <= MaxLineCount && h.RowCount >= 1 && h.RowCount <= MaxLineCount
        && h.RowClueDepth >= 0 && h.RowClueDepth <= h.ColCount && h.ColClueDepth >= 0
        && h.ColClueDepth <= h.RowCount;
}

Header DecodeHeader(const char *bytes)
{
    Header h;
    h.InProgress = static_cast<uint8_t>(bytes[0]);
    const quint64 bits = qFromLittleEndian<quint64>(bytes + 1);
    std::memcpy(&h.ElapsedTime, &bits, sizeof bits);
    h.ColCount = qFromLittleEndian<qint32>(bytes + 9);
    h.RowCount = qFromLittleEndian<qint32>(bytes + 13);
    h.RowClueDepth = qFromLittleEndian<qint32>(bytes + 17);
    h.ColClueDepth = qFromLittleEndian<qint32>(bytes + 21);
    return h;
}

QByteArray EncodeHeader(const Header &h)
{
    QByteArray out(HeaderSize, '\0');
    char *p = out.data();
    p[0] = static_cast<char>(h.InProgress);
    quint64 bits;
    std::memcpy(&bits, &h.ElapsedTime, sizeof bits);
    qToLittleEndian<quint64>(bits, p + 1);
    qToLittleEndian<qint32>(h.ColCount, p + 9);
    qToLittleEndian<qint32>(h.RowCount, p + 13);
    qToLittleEndian<qint32>(h.RowClueDepth, p + 17);
    qToLittleEndian<qint32>(h.ColClueDepth, p + 21);
    return out;
}

namespace {

// Fills a rows x cols matrix from the next block of the device, row by row.
void ReadBlock(QIODevice &device, TMyCrossArr &m, int32_t rows, int32_t cols)
{
    m = MakeCrossArr(rows, cols);
    const qint64 rowBytes = qint64(cols) * 4;
    QByteArray buf(rowBytes, '\0');
    for (auto &row : m) {
        if (rowBytes > 0 && device.read(buf.data(), rowBytes) != rowBytes)
            throw EPuzzleError(StreamReadText());
        for (int32_t c = 0; c < cols; ++c)
            row[c] = qFromLittleEndian<qint32>(buf.constData() + 4 * c);
    }
}

void AppendBlock(QByteArray &out, const TMyCrossArr &m)
{
    for (const auto &row : m)
        for (int32_t v : row) {
            char le[4];
            qToLittleEndian<qint32>(v, le);
            out.append(le, 4);
        }
}

} // namespace

PuzzleDocument Read(QIODevice &device, const QString &pathForMessages)
{
    char raw[HeaderSize];
    if (device.read(raw, HeaderSize) != HeaderSize)
        throw EPuzzleError(StreamReadText());
    const Header h = DecodeHeader(raw);
    if (!HeaderInBounds(h))
        throw EPuzzleError(InvalidText(pathForMessages));

    PuzzleDocument doc;
    doc.InProgress = h.InProgress;
    doc.ElapsedTime = h.ElapsedTime;
    doc.ColCount = h.ColCount;
    doc.RowCount = h.RowCount;
    doc.RowClueDepth = h.RowClueDepth;
    doc.ColClueDepth = h.ColClueDepth;
    ReadBlock(device, doc.Solution, h.RowCount, h.ColCount);
    // A fresh puzzle's later blocks are ignored even when present.
    if (h.InProgress != 0) {
        ReadBlock(device, doc.Marks, h.RowCount, h.ColCount);
        ReadBlock(device, doc.RowClueStrikes, h.RowCount, h.RowClueDepth);
        ReadBlock(device, doc.ColClueStrikes, h.ColClueDepth, h.ColCount);
    } else {
        doc.Marks = MakeCrossArr(h.RowCount, h.ColCount);
        doc.RowClueStrikes = MakeCrossArr(h.RowCount, h.RowClueDepth);
        doc.ColClueStrikes = MakeCrossArr(h.ColClueDepth, h.ColCount);
    }
    return doc;
}

PuzzleDocument ReadFile(const QString &path)
{
    QFile file(path);
    // A pipe or a device would block the read for ever; only a plain file can be a puzzle.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw EPuzzleError(CannotOpenText(path));
    return Read(file, path);
}

QByteArray Serialize(const PuzzleDocument &doc)
{
    Header h;
    h.InProgress = doc.InProgress;
    h.ElapsedTime = doc.ElapsedTime;
    h.ColCount = doc.ColCount;
    h.RowCount = doc.RowCount;
    h.RowClueDepth = doc.RowClueDepth;
    h.ColClueDepth = doc.ColClueDepth;
    QByteArray out = EncodeHeader(h);
    out.reserve(FullSize(h));
    AppendBlock(out, doc.Solution);
    AppendBlock(out, doc.Marks);
    AppendBlock(out, doc.RowClueStrikes);
    AppendBlock(out, doc.ColClueStrikes);
    return out;
}

namespace {

void WriteAll(QIODevice &device, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            throw EPuzzleError(StreamWriteText());
        done += n;
    }
}

// Written beside the name, synced, then linked in by a call that fails when the name is taken
// in any way: a check for the name followed by a rename would follow a link planted between them.
void SaveNew(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        throw EPuzzleError(CannotCreateText(path));
    const QByteArray to = QFile::encodeName(info.absoluteFilePath());
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName())
            + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // 0666 as any new file gets, less the user's umask.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw EPuzzleError(CannotCreateText(path));
    bool written = true;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else
            written = n < 0 && errno == EINTR;
    }
    written = ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    bool placed = written && ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
    if (!placed) {
        // File systems without the no-replace rename mostly still have hard links.
        if (written && (errno == EINVAL || errno == ENOSYS))
            placed = ::link(temp.constData(), to.constData()) == 0;
        ::unlink(temp.constData());
    }
    if (!written)
        throw EPuzzleError(StreamWriteText());
    if (!placed)
        throw EPuzzleError(CannotCreateText(path));
}

} // namespace

void Write(QIODevice &device, const PuzzleDocument &doc)
{
    WriteAll(device, Serialize(doc));
}

void SaveFile(const QString &path, const PuzzleDocument &doc, Target target)
{
    SaveBytes(path, Serialize(doc), target);
}

void SaveBytes(const QString &path, const QByteArray &bytes, Target target)
{
    if (target == Target::NewFile) {
        SaveNew(path, bytes);
        return;
    }
    const QFileInfo info(path);
    const bool exists = info.exists();
    // The document's own file must still be there; a folder in a file's place is never opened.
    if ((target == Target::ExistingFile && !exists) || info.isDir() || (exists && !info.isWritable()))
        throw EPuzzleError(CannotOpenText(path));

    QSaveFile file(path);
    // Unbuffered, so a short write shows at once: a buffered flush may report success after
    // the disk took only part of the data.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EPuzzleError(exists ? CannotOpenText(path) : CannotCreateText(path));
    try {
        WriteAll(file, bytes);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    // Putting the new file in place is what creates a new name.
    if (!file.commit())
        throw EPuzzleError(exists ? StreamWriteText() : CannotCreateText(path));
}

} // namespace PuzzleFile
