// How a board goes onto paper: the direct print's bitmap, orientation and scale, and printing
// with a choice of content, scale and printer.
#pragma once

#include "core/PrintPages.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

struct PuzzleDocument;

// The print render's cell size and the room left around the board.
constexpr int PrintCellSize = 15;
constexpr int PrintMargin = 50;
constexpr int PrintScaleDivisor = 950;
// About 400 MB of bitmap: boards of some 650 cells a side and more are refused, not attempted.
constexpr qint64 MaxPrintBitmapPixels = 100'000'000;

// A printer failure; what() is the text shown to the player.
class EPrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QSize PrintBitmapSize(const PuzzleDocument &doc);
// Landscape only for a bitmap wider than tall.
bool PrintLandscape(QSize bitmap);

// Where the bitmap goes on the page, in printer pixels from the printable area's top-left.
// The scale is the printable extent along the chosen edge div 950, lowered to the largest whole
// scale with which the bitmap fits the printable area; when not even scale 1 fits, the bitmap
// is shrunk to fit, keeping its shape. Nothing is ever cut off at the page edge.
QRect PrintTarget(QSize bitmap, QSize printable);

// ---- Printing with a choice: what to print, at what scale, on which printer. ----------------

class QPrinter;
class QRadioButton;
class QDoubleSpinBox;
class QLabel;

struct TPrintOptions {
    TPrintContent Content = TPrintContent::Blank;
    double CellMm = 0;  // 0: the largest that fits the page
};

// Prints doc as options ask on printer, honouring the page range chosen there. Throws
// EPrinterError when the job cannot be started, drawn or finished.
void PrintBoard(QPrinter &printer, const PuzzleDocument &doc, const QString &name,
                const TPrintOptions &options);

// The pages of the printer's range among count pages; empty for all of them.
std::vector<int> ChosenPages(const QPrinter &printer, int count);

// The choices before a print: content and scale, then the preview or Qt's print dialog
// (printer, copies, pages).
class TPrintSetupDialog : public QDialog {
public:
    TPrintSetupDialog(QWidget *parent, const PuzzleDocument &doc, const QString &name);
    ~TPrintSetupDialog() override;

    TPrintOptions Options() const;
    void SetOptions(const TPrintOptions &options);
    QPrinter &Printer() { return *PrinterSetup; }
    // How many pages the board takes on the printer's page as the options stand.
    int PageCount() const;

    void Preview();
    void PrintWithDialog();

    QRadioButton *BlankButton, *MarksButton, *SolutionButton, *FitButton, *CellButton;
    QDoubleSpinBox *CellEdit;
    QLabel *PagesLabel;

private:
    void UpdatePages();

    PuzzleDocument Doc;
    QString Name;
    std::unique_ptr<QPrinter> PrinterSetup;
};
