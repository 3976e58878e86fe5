// pxgtool: inspect, reset and build puzzle files from the command line.
#include "board/BoardRender.h"
#include "board/Clues.h"
#include "format/PuzzleFile.h"
#include "tools/TextArt.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

int Usage()
{
    err << "usage: pxgtool info FILE...\n"
           "       pxgtool reset FILE...\n"
           "       pxgtool compile PICTURE.txt OUT.pxg\n"
           "       pxgtool render FILE OUT.png [--cell N]\n"
           "\n"
           "info     prints each puzzle's header, its form, progress and whether its marks solve it\n"
           "reset    clears a game as the player's Clear does and writes the full form\n"
           "compile  turns a text-art picture ('#' black, '.' white) into a fresh puzzle\n"
           "render   draws the board as it prints (cell N pixels, 15 by default) into a PNG\n";
    return 2;
}

QString PlayTime(double days)
{
    const qint64 seconds = qRound64(days * 86400.0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int Info(const QStringList &files)
{
    int status = 0;
    for (const QString &path : files) {
        try {
            const PuzzleDocument doc = PuzzleFile::ReadFile(path);
            PuzzleFile::Header h{doc.InProgress, doc.ElapsedTime, doc.ColCount, doc.RowCount, doc.RowClueDepth,
                                 doc.ColClueDepth};
            const qint64 size = QFileInfo(path).size();
            out << path << ":\n"
                << "  size        " << doc.ColCount << "x" << doc.RowCount << " (columns x rows)\n"
                << "  clue depth  rows " << doc.RowClueDepth << ", columns " << doc.ColClueDepth << "\n"
                << "  form        " << (size >= PuzzleFile::FullSize(h) ? "full" : "short") << " (" << size
                << " bytes)\n"
                << "  started     " << (doc.InProgress ? QStringLiteral("yes (%1)").arg(doc.InProgress)
                                                        : QStringLiteral("no"))
                << "\n"
                << "  play time   " << PlayTime(doc.ElapsedTime) << "\n"
                << "  marks solve " << (IsSolved(doc.Solution, doc.Marks) ? "yes" : "no") << "\n";
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            status = 1;
        }
    }
    return status;
}

int Reset(const QStringList &files)
{
    int status = 0;
    for (const QString &path : files) {
        try {
            PuzzleDocument doc = PuzzleFile::ReadFile(path);
            ResetGame(doc);
            PuzzleFile::SaveFile(path, doc, PuzzleFile::Target::ExistingFile);
            out << path << ": reset\n";
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            status = 1;
        }
    }
    return status;
}

int Compile(const QString &source, const QString &target)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        err << source << ": cannot read\n";
        return 1;
    }
    try {
        const TMyCrossArr picture = ParseTextArt(QString::fromUtf8(file.readAll()));
        PuzzleFile::SaveFile(target, DocumentFromPicture(picture), PuzzleFile::Target::ChosenPath);
    } catch (const std::exception &e) {
        err << source << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}

int Render(QStringList args)
{
    int cell = 15;
    const qsizetype at = args.indexOf(QStringLiteral("--cell"));
    if (at >= 0) {
        bool ok = false;
        cell = at + 1 < args.size() ? args[at + 1].toInt(&ok) : 0;
        if (!ok || cell < 1 || cell > 200) {
            err << "--cell takes a whole number from 1 to 200\n";
            return 2;
        }
        args.remove(at, 2);
    }
    if (args.size() != 2)
        return Usage();
    try {
        const PuzzleDocument doc = PuzzleFile::ReadFile(args[0]);
        const int width = (doc.RowClueDepth + doc.ColCount) * cell + 50;
        const int height = (doc.ColClueDepth + doc.RowCount) * cell + 50;
        QImage bitmap(width, height, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        RenderBoard(bitmap, width, height, doc, cell, false, nullptr);
        if (!bitmap.save(args[1], "PNG")) {
            err << args[1] << ": cannot write\n";
            return 1;
        }
    } catch (const EPuzzleError &e) {
        err << args[0] << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing text needs the GUI layer, but never a screen.
    const bool rendering = argc > 1 && qstrcmp(argv[1], "render") == 0;
    if (rendering && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(rendering ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return Usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("info") && !args.isEmpty())
        return Info(args);
    if (command == QLatin1String("reset") && !args.isEmpty())
        return Reset(args);
    if (command == QLatin1String("compile") && args.size() == 2)
        return Compile(args[0], args[1]);
    if (command == QLatin1String("render"))
        return Render(args);
    return Usage();
}
