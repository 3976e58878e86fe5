// pxgtool print: several puzzles to one PDF, blank, with their solutions after them.
#include "tools/PrintBooklet.h"

#include "core/PrintPages.h"
#include "format/PuzzleFile.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

#include <stdexcept>

namespace {

// Takes "name value" out of args; false with a message when the value is missing.
bool TakeOption(QStringList &args, const QString &name, QString *value, QTextStream &err)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size()) {
        err << name << " needs a value\n";
        return false;
    }
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

} // namespace

int PrintBooklet(QStringList args, QTextStream &, QTextStream &err)
{
    QString pdf, cellText, perPageText;
    if (!TakeOption(args, QStringLiteral("--pdf"), &pdf, err)
        || !TakeOption(args, QStringLiteral("--cell"), &cellText, err)
        || !TakeOption(args, QStringLiteral("--per-page"), &perPageText, err))
        return 2;
    const bool solutions = args.removeAll(QStringLiteral("--solutions")) > 0;
    double cell = 0;
    if (!cellText.isEmpty()) {
        bool ok = false;
        cell = cellText.toDouble(&ok);
        if (!ok || !(cell >= 1 && cell <= 50)) {
            err << "--cell takes a size in millimetres from 1 to 50\n";
            return 2;
        }
    }
    int perPage = 4;
    if (!perPageText.isEmpty()) {
        bool ok = false;
        perPage = perPageText.toInt(&ok);
        if (!ok || perPage < 1 || perPage > 36) {
            err << "--per-page takes a whole number from 1 to 36\n";
            return 2;
        }
    }
    for (const QString &arg : args)
        if (arg.startsWith(QLatin1String("--"))) {
            err << "pxgtool print: unknown option " << arg << "\n";
            return 2;
        }
    if (pdf.isEmpty() || args.isEmpty()) {
        err << "usage: pxgtool print --pdf OUT.pdf [--solutions] [--cell MM] [--per-page N] FILE...\n";
        return 2;
    }

    std::vector<TBookletPuzzle> puzzles;
    for (const QString &path : args) {
        try {
            puzzles.push_back({QFileInfo(path).completeBaseName(), PuzzleFile::ReadFile(path)});
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            return 1;
        }
    }

    // Written beside its name and renamed over it only when whole.
    QSaveFile file(pdf);
    if (!file.open(QIODevice::WriteOnly)) {
        err << pdf << ": cannot write: " << file.errorString() << "\n";
        return 1;
    }
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(PaperDpi);
        writer.setTitle(QFileInfo(pdf).completeBaseName());
        writer.setCreator(QStringLiteral("pxgtool"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            err << pdf << ": the PDF could not be started\n";
            return 1;
        }
        try {
            pages = PaintBooklet(painter, writer, puzzles, solutions, cell, perPage);
        } catch (const std::exception &e) {
            painter.end();
            file.cancelWriting();
            err << pdf << ": " << e.what() << "\n";
            return 1;
        }
        if (!painter.end()) {
            file.cancelWriting();
            err << pdf << ": the PDF could not be finished\n";
            return 1;
        }
    }
    if (!file.commit()) {
        err << pdf << ": cannot write: " << file.errorString() << "\n";
        return 1;
    }
    Q_UNUSED(pages);
    return 0;
}
