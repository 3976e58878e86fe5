// How a board goes onto paper: the direct print's bitmap, orientation and scale, and printing
// with a choice of content, scale and printer.
#include "app/Printing.h"

#include "app/TApplication.h"
#include "format/PuzzleDocument.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

QSize PrintBitmapSize(const PuzzleDocument &doc)
{
    return QSize((doc.RowClueDepth + doc.ColCount) * PrintCellSize + PrintMargin,
                 (doc.ColClueDepth + doc.RowCount) * PrintCellSize + PrintMargin);
}

bool PrintLandscape(QSize bitmap)
{
    return bitmap.height() < bitmap.width();
}

QRect PrintTarget(QSize bitmap, QSize printable)
{
    const int extent = PrintLandscape(bitmap) ? printable.width() : printable.height();
    int scale = extent / PrintScaleDivisor;
    // Never past the printable area: the largest whole scale that fits both ways.
    if (!bitmap.isEmpty())
        scale = std::min({scale, printable.width() / bitmap.width(), printable.height() / bitmap.height()});
    if (scale > 0)
        return QRect(0, 0, bitmap.width() * scale, bitmap.height() * scale);
    if (bitmap.isEmpty() || printable.isEmpty())
        return QRect();
    return QRect(QPoint(0, 0), bitmap.scaled(printable, Qt::KeepAspectRatio));
}

// ---- Printing with a choice. ------------------------------------------------------------------

namespace {

// The printable area of the printer's page in pixels at the paper resolution.
QSize PaperPrintable(const QPrinter &printer)
{
    const QSizeF inches = printer.pageRect(QPrinter::Inch).size();
    return QSize(int(inches.width() * PaperDpi), int(inches.height() * PaperDpi));
}

} // namespace

std::vector<int> ChosenPages(const QPrinter &printer, int count)
{
    const QPageRanges ranges = printer.pageRanges();
    std::vector<int> pages;
    if (ranges.isEmpty())
        return pages;
    for (int page = 1; page <= count; ++page)
        if (ranges.contains(page))
            pages.push_back(page);
    // A range wholly past the end prints nothing rather than everything.
    if (pages.empty())
        pages.push_back(count + 1);
    return pages;
}

void PrintBoard(QPrinter &printer, const PuzzleDocument &doc, const QString &name,
                const TPrintOptions &options)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TRestoreCursor {
        ~TRestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    const int count = CountBoardPages(doc, PaperPrintable(printer), options.CellMm);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EPrinterError("Printer error: the print job could not be started");
    try {
        PaintBoardPages(painter, printer, doc, name, options.Content, options.CellMm,
                        ChosenPages(printer, count));
    } catch (const std::exception &e) {
        printer.abort();
        painter.end();
        throw EPrinterError(e.what());
    }
    if (!painter.end())
        throw EPrinterError("Printer error: the print job could not be finished");
}

TPrintSetupDialog::TPrintSetupDialog(QWidget *parent, const PuzzleDocument &doc, const QString &name)
    : QDialog(parent), Doc(doc), Name(name), PrinterSetup(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setWindowTitle(QStringLiteral("Печать"));
    PrinterSetup->setDocName(name);
    PrinterSetup->setColorMode(QPrinter::Color);
    const QSize cells = PaperBoardCells(doc);
    PrinterSetup->setPageOrientation(cells.width() > cells.height() ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(PaperHeader(name, doc, 1, 1), this));

    auto *what = new QGroupBox(QStringLiteral("Что печатать"), this);
    auto *whatLayout = new QVBoxLayout(what);
    BlankButton = new QRadioButton(QStringLiteral("Чистое поле с цифрами, для карандаша"), what);
    MarksButton = new QRadioButton(QStringLiteral("С отметками игрока"), what);
    SolutionButton = new QRadioButton(QStringLiteral("Решение"), what);
    for (QRadioButton *b : {BlankButton, MarksButton, SolutionButton})
        whatLayout->addWidget(b);
    BlankButton->setChecked(true);
    layout->addWidget(what);

    auto *scale = new QGroupBox(QStringLiteral("Масштаб"), this);
    auto *scaleLayout = new QFormLayout(scale);
    FitButton = new QRadioButton(QStringLiteral("по размеру страницы"), scale);
    CellButton = new QRadioButton(QStringLiteral("клетка, мм:"), scale);
    CellEdit = new QDoubleSpinBox(scale);
    CellEdit->setRange(1.0, 20.0);
    CellEdit->setSingleStep(0.5);
    CellEdit->setDecimals(1);
    CellEdit->setValue(5.0);
    auto *scaleGroup = new QButtonGroup(this);
    scaleGroup->addButton(FitButton);
    scaleGroup->addButton(CellButton);
    FitButton->setChecked(true);
    scaleLayout->addRow(FitButton);
    scaleLayout->addRow(CellButton, CellEdit);
    PagesLabel = new QLabel(scale);
    scaleLayout->addRow(PagesLabel);
    layout->addWidget(scale);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *preview = buttons->addButton(QStringLiteral("Просмотр..."), QDialogButtonBox::ActionRole);
    QPushButton *print = buttons->addButton(QStringLiteral("Печать..."), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    print->setDefault(true);
    layout->addWidget(buttons);

    connect(preview, &QPushButton::clicked, this, [this] { TApplication::Guarded([this] { Preview(); }); });
    connect(print, &QPushButton::clicked, this, [this] { TApplication::Guarded([this] { PrintWithDialog(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FitButton, &QRadioButton::toggled, this, [this] { UpdatePages(); });
    connect(CellEdit, &QDoubleSpinBox::valueChanged, this, [this] {
        CellButton->setChecked(true);
        UpdatePages();
    });
    UpdatePages();
}

TPrintSetupDialog::~TPrintSetupDialog() = default;

TPrintOptions TPrintSetupDialog::Options() const
{
    TPrintOptions options;
    options.Content = MarksButton->isChecked()      ? TPrintContent::Marks
                      : SolutionButton->isChecked() ? TPrintContent::Solution
                                                    : TPrintContent::Blank;
    options.CellMm = CellButton->isChecked() ? CellEdit->value() : 0;
    return options;
}

void TPrintSetupDialog::SetOptions(const TPrintOptions &options)
{
    (options.Content == TPrintContent::Marks      ? MarksButton
     : options.Content == TPrintContent::Solution ? SolutionButton
                                                  : BlankButton)
        ->setChecked(true);
    if (options.CellMm > 0)
        CellEdit->setValue(options.CellMm);
    (options.CellMm > 0 ? CellButton : FitButton)->setChecked(true);
    UpdatePages();
}

int TPrintSetupDialog::PageCount() const
{
    return CountBoardPages(Doc, PaperPrintable(*PrinterSetup), Options().CellMm);
}

void TPrintSetupDialog::UpdatePages()
{
    const int pages = PageCount();
    PagesLabel->setText(pages > 1 ? QStringLiteral("Листов: %1, с перекрытием в одну клетку").arg(pages)
                                  : QStringLiteral("Один лист, поле целиком"));
}

void TPrintSetupDialog::Preview()
{
    QPrintPreviewDialog preview(PrinterSetup.get(), this);
    preview.setWindowTitle(QStringLiteral("Просмотр печати"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *printer) {
        TApplication::Guarded([&] { PrintBoard(*printer, Doc, Name, Options()); });
    });
    if (preview.exec() == QDialog::Accepted)
        accept();
    UpdatePages();
}

void TPrintSetupDialog::PrintWithDialog()
{
    QPrintDialog dialog(PrinterSetup.get(), this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setMinMax(1, std::max(1, PageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) {
        UpdatePages();
        return;
    }
    PrintBoard(*PrinterSetup, Doc, Name, Options());
    accept();
}
