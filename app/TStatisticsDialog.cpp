// «Статистика»: the solved puzzles, one row each, with date, size, difficulty, best time and count.
#include "app/TStatisticsDialog.h"

#include "browser/LibraryListing.h"
#include "core/SolvedRecord.h"
#include "format/PuzzleFile.h"
#include "toolkit/Prompts.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Sorts by a hidden key, so times, dates and counts sort as numbers, not as their text.
class TKeyedItem : public QTableWidgetItem {
public:
    TKeyedItem(const QString &text, const QVariant &key) : QTableWidgetItem(text) { setData(Qt::UserRole, key); }
    bool operator<(const QTableWidgetItem &other) const override
    {
        return QVariant::compare(data(Qt::UserRole), other.data(Qt::UserRole)) == QPartialOrdering::Less;
    }
};

} // namespace

TStatisticsDialog::TStatisticsDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Статистика"));
    TSolvedRecord record;
    if (const QString warning = record.Load(); !warning.isEmpty())
        Prompts::ShowError(parent, warning);

    struct TRow {
        TSolvedEntry Last;
        double Best = -1;
        int Count = 0;
    };
    QMap<QByteArray, TRow> rows;
    for (const TSolvedEntry &e : record.Entries()) {
        TRow &row = rows[e.Id];
        if (row.Count == 0 || e.When >= row.Last.When)
            row.Last = e;
        row.Best = row.Best < 0 ? e.Seconds : std::min(row.Best, e.Seconds);
        ++row.Count;
    }

    Table = new QTableWidget(int(rows.size()), ColumnCount, this);
    Table->setHorizontalHeaderLabels({QStringLiteral("Головоломка"), QStringLiteral("Размер"), QStringLiteral("Сложность"),
                                      QStringLiteral("Решена"), QStringLiteral("Лучшее время"), QStringLiteral("Раз")});
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->verticalHeader()->hide();
    int r = 0;
    for (const TRow &row : rows) {
        const TSolvedEntry &e = row.Last;
        const QString name = e.Name.isEmpty() ? QStringLiteral("(без имени)") : QFileInfo(e.Name).completeBaseName();
        Table->setItem(r, ColName, new TKeyedItem(name, name.toLower()));
        Table->setItem(r, ColSize, new TKeyedItem(QStringLiteral("%1x%2").arg(e.Cols).arg(e.Rows), e.Cols * 10000 + e.Rows));
        Table->setItem(r, ColDifficulty,
                       new TKeyedItem(e.Level < 0 ? QStringLiteral("—") : QString::number(e.Level), e.Level));
        Table->setItem(r, ColDate, new TKeyedItem(e.When.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")), e.When));
        Table->setItem(r, ColBest, new TKeyedItem(DurationText(row.Best), row.Best));
        Table->setItem(r, ColCount, new TKeyedItem(QString::number(row.Count), row.Count));
        ++r;
    }
    Table->setSortingEnabled(true);
    Table->sortByColumn(ColDate, Qt::DescendingOrder);
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    if (rows.isEmpty())
        layout->addWidget(new QLabel(QStringLiteral("Решённых головоломок пока нет."), this));
    layout->addWidget(Table);
    layout->addWidget(buttons);
    resize(780, 380);
}

QString RecordVictory(QWidget *parent, const PuzzleDocument &doc, const QString &fileName)
{
    TSolvedRecord record;
    if (const QString warning = record.Load(); !warning.isEmpty())
        Prompts::ShowError(parent, warning);
    TSolvedEntry entry;
    entry.Id = PuzzleIdentity(doc.Solution);
    entry.When = QDateTime::currentDateTimeUtc();
    entry.Seconds = std::max(0.0, doc.ElapsedTime * 86400.0);
    entry.Cols = doc.ColCount;
    entry.Rows = doc.RowCount;
    entry.Name = QFileInfo(fileName).fileName();
    entry.Level = entry.Name.isEmpty() ? -1 : DifficultyDigit(entry.Name);
    const double best = record.Best(entry.Id);
    QString note = QStringLiteral("Время: %1").arg(DurationText(entry.Seconds));
    if (best >= 0)
        note += QStringLiteral("\nЛучшее прежнее время: %1").arg(DurationText(best));
    try {
        record.Add(entry);
    } catch (const EPuzzleError &e) {
        note += QStringLiteral("\nРезультат не записан: %1").arg(e.Message());
    }
    return note;
}
