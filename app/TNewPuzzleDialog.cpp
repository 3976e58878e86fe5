// «Новая головоломка»: size, difficulty and kind of picture, made in a worker thread and saved.
#include "app/TNewPuzzleDialog.h"

#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Presets[] = {5, 10, 15, 20, 25, 30, 50, 100};
constexpr int MaxSide = 200;

} // namespace

// What the worker and the window share; the worker holds it too, so a window closed during a
// search leaves it nothing dangling.
struct TNewPuzzleDialog::TJob {
    int32_t Rows = 0, Cols = 0, Level = 0;
    TPictureKind Kind = TPictureKind::Any;
    uint32_t Seed = 0;
    int Seconds = 30;
    std::atomic<bool> Cancel{false};
    std::atomic<int64_t> Candidates{0};
    TGenerateOutcome Outcome = TGenerateOutcome::Cancelled;
    TGenerated Puzzle;
    int32_t NearestSeen = -1;
};

TNewPuzzleDialog::TNewPuzzleDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Новая головоломка"));
    SizeBox = new QComboBox(this);
    for (const int side : Presets)
        SizeBox->addItem(QStringLiteral("%1 × %1").arg(side), side);
    SizeBox->addItem(QStringLiteral("Другой"), 0);
    SizeBox->setCurrentIndex(2);
    WidthBox = new QSpinBox(this);
    HeightBox = new QSpinBox(this);
    for (QSpinBox *box : {WidthBox, HeightBox}) {
        box->setRange(2, MaxSide);
        box->setValue(15);
        box->setEnabled(false);
    }
    auto *custom = new QHBoxLayout;
    custom->addWidget(WidthBox);
    custom->addWidget(new QLabel(QStringLiteral("×"), this));
    custom->addWidget(HeightBox);
    LevelBox = new QComboBox(this);
    for (int32_t level = 0; level <= 9; ++level)
        LevelBox->addItem(QStringLiteral("%1 — %2").arg(level).arg(LevelWord(level)), level);
    KindBox = new QComboBox(this);
    for (int32_t kind = 0; kind < PictureKindCount; ++kind)
        KindBox->addItem(PictureKindText(TPictureKind(kind)), kind);
    RangeLabel = new QLabel(this);
    ProgressLabel = new QLabel(this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 0);
    Progress->setTextVisible(false);
    bCreate = new QPushButton(QStringLiteral("Создать"), this);
    bCancel = new QPushButton(QStringLiteral("Отмена"), this);
    bCreate->setDefault(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Размер:"), SizeBox);
    form->addRow(QStringLiteral("Ширина × высота:"), custom);
    // The kind before the level: the levels on offer depend on it.
    form->addRow(QStringLiteral("Рисунок:"), KindBox);
    form->addRow(QStringLiteral("Сложность:"), LevelBox);
    form->addRow(QString(), RangeLabel);
    setTabOrder(HeightBox, KindBox);
    setTabOrder(KindBox, LevelBox);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bCreate);
    buttons->addWidget(bCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Progress);
    layout->addWidget(ProgressLabel);
    layout->addLayout(buttons);

    Ticker = new QTimer(this);
    Ticker->setInterval(100);
    connect(Ticker, &QTimer::timeout, this, [this] {
        if (Job)
            ProgressLabel->setText(QStringLiteral("Перебрано рисунков: %1").arg(Job->Candidates.load()));
    });
    connect(SizeBox, &QComboBox::currentIndexChanged, this, &TNewPuzzleDialog::SizeChanged);
    connect(WidthBox, &QSpinBox::valueChanged, this, &TNewPuzzleDialog::SizeChanged);
    connect(HeightBox, &QSpinBox::valueChanged, this, &TNewPuzzleDialog::SizeChanged);
    connect(KindBox, &QComboBox::currentIndexChanged, this, &TNewPuzzleDialog::SizeChanged);
    connect(bCreate, &QPushButton::clicked, this, [this] { Start(); });
    connect(bCancel, &QPushButton::clicked, this, &TNewPuzzleDialog::reject);
    LevelBox->setCurrentIndex(2);
    SizeChanged();
    ShowIdle(true);
}

TNewPuzzleDialog::~TNewPuzzleDialog()
{
    CancelRun();
}

QString TNewPuzzleDialog::PuzzleFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Новые головоломки");
}

QString TNewPuzzleDialog::PuzzleFolder()
{
    const QString folder = PuzzleFolderPath();
    QDir().mkpath(folder);
    return folder;
}

QString TNewPuzzleDialog::LevelWord(int32_t level)
{
    static const char *const words[] = {"очень лёгкая", "лёгкая", "средняя", "средняя", "трудная",
                                        "трудная", "очень трудная", "очень трудная", "мастерская", "мастерская"};
    return QString::fromUtf8(words[std::clamp(level, int32_t(0), int32_t(9))]);
}

QString TNewPuzzleDialog::PuzzleFileName(TPictureKind kind, int32_t cols, int32_t rows, uint32_t seed, int32_t level,
                                         int copy)
{
    const QString word = kind == TPictureKind::Any ? QStringLiteral("Рисунок") : PictureKindText(kind);
    const QString apart = copy > 1 ? QStringLiteral(" (%1)").arg(copy) : QString();
    return QStringLiteral("%1 %2x%3 №%4%5 %6.pxg").arg(word).arg(cols).arg(rows).arg(seed).arg(apart).arg(level);
}

int32_t TNewPuzzleDialog::Cols() const
{
    const int side = SizeBox->currentData().toInt();
    return side > 0 ? side : WidthBox->value();
}

int32_t TNewPuzzleDialog::Rows() const
{
    const int side = SizeBox->currentData().toInt();
    return side > 0 ? side : HeightBox->value();
}

// Levels the size cannot reach are greyed out, and the choice moves to the nearest one.
void TNewPuzzleDialog::SizeChanged()
{
    const bool custom = SizeBox->currentData().toInt() == 0;
    WidthBox->setEnabled(custom && !Running());
    HeightBox->setEnabled(custom && !Running());
    const TPictureKind kind = TPictureKind(KindBox->currentIndex());
    const TLevelRange range = ReachableLevels(Rows(), Cols(), kind);
    auto *model = qobject_cast<QStandardItemModel *>(LevelBox->model());
    for (int32_t level = 0; level <= 9; ++level)
        if (QStandardItem *item = model->item(level))
            item->setEnabled(range.Holds(level));
    LevelBox->setCurrentIndex(range.Nearest(LevelBox->currentIndex()));
    const QString where = kind == TPictureKind::Any
        ? QStringLiteral("При размере %1 × %2").arg(Cols()).arg(Rows())
        : QStringLiteral("При размере %1 × %2 и рисунке «%3»").arg(Cols()).arg(Rows()).arg(PictureKindText(kind));
    RangeLabel->setText(range.Low == range.High ? QStringLiteral("%1 возможен только уровень %2").arg(where).arg(range.Low)
                                                : QStringLiteral("%1 возможны уровни %2–%3").arg(where).arg(range.Low).arg(range.High));
}

void TNewPuzzleDialog::ShowIdle(bool idle)
{
    for (QWidget *w : std::initializer_list<QWidget *>{SizeBox, LevelBox, KindBox, bCreate})
        w->setEnabled(idle);
    SizeChanged();
    Progress->setVisible(!idle);
    // Disabling «Создать» for the run moved the focus to «Отмена»: left there, the Enter that
    // follows a message would close the dialog instead of trying again.
    if (idle && focusWidget() == bCancel)
        bCreate->setFocus();
    if (idle)
        Ticker->stop();
    else
        Ticker->start();
}

bool TNewPuzzleDialog::Running() const
{
    return Worker != nullptr;
}

void TNewPuzzleDialog::Start(uint32_t seed)
{
    if (Running())
        return;
    auto job = std::make_shared<TJob>();
    job->Rows = Rows();
    job->Cols = Cols();
    job->Level = LevelBox->currentIndex();
    job->Kind = TPictureKind(KindBox->currentIndex());
    job->Seed = seed != 0 ? seed : QRandomGenerator::global()->bounded(1u, 0x7fffffffu);
    job->Seconds = TimeBudget;
    Job = job;
    Worker = QThread::create([job] {
        TGenerator generator(job->Rows, job->Cols, job->Level, job->Seed, job->Kind);
        TGenerateLimits limits;
        limits.MaxCandidates = INT64_MAX;
        limits.Cancel = &job->Cancel;
        limits.Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(job->Seconds);
        limits.Progress = [job](int64_t candidates) { job->Candidates = candidates; };
        job->Outcome = generator.Make(job->Puzzle, limits);
        job->NearestSeen = generator.NearestSeenLevel();
    });
    // The thread may outlive this window: it then cleans up after itself, and the program
    // waits for it on the way out rather than leave it running into the static destructors.
    QThread *worker = Worker;
    LastWorker = worker;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(qApp, &QCoreApplication::aboutToQuit, worker, [worker, job] {
        job->Cancel = true;
        worker->wait();
    });
    connect(worker, &QThread::finished, this, [this, job] {
        if (Job == job)
            WorkerDone(job);
    });
    ProgressLabel->setText(QStringLiteral("Рисую и проверяю, что решение одно…"));
    ShowIdle(false);
    worker->start(QThread::LowPriority);
}

void TNewPuzzleDialog::CancelRun()
{
    if (!Job)
        return;
    Job->Cancel = true;
    Job.reset();
    Worker = nullptr;
    ProgressLabel->setText(QStringLiteral("Отменено"));
    ShowIdle(true);
}

void TNewPuzzleDialog::WaitForWorker()
{
    if (LastWorker)
        LastWorker->wait();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void TNewPuzzleDialog::reject()
{
    // «Отмена» during a search stops the search; a second press closes the window.
    if (Running()) {
        CancelRun();
        return;
    }
    QDialog::reject();
}

void TNewPuzzleDialog::WorkerDone(const std::shared_ptr<TJob> &job)
{
    Job.reset();
    Worker = nullptr;
    ShowIdle(true);
    ProgressLabel->clear();
    if (job->Outcome == TGenerateOutcome::Cancelled)
        return;
    if (job->Outcome != TGenerateOutcome::Made) {
        QString text = QStringLiteral("За %1 с не удалось создать головоломку %2 × %3 уровня %4 (перебрано рисунков: %5). ")
                           .arg(job->Seconds).arg(job->Cols).arg(job->Rows).arg(job->Level).arg(job->Candidates.load());
        // A long thin board may not reach what its cell count promises: offer what it did reach.
        const auto *model = qobject_cast<QStandardItemModel *>(LevelBox->model());
        const int32_t seen = job->NearestSeen;
        if (seen >= 0 && seen != job->Level && model->item(seen) && model->item(seen)->isEnabled()) {
            LevelBox->setCurrentIndex(seen);
            text += QStringLiteral("При этом размере получается уровень %1 — он выбран, нажмите «Создать».").arg(seen);
        } else {
            text += QStringLiteral("Попробуйте ещё раз или выберите другой уровень.");
        }
        emit Failed(text);
        return;
    }
    const QDir folder(PuzzleFolder());
    QString path = folder.filePath(PuzzleFileName(job->Kind, job->Cols, job->Rows, job->Seed, job->Puzzle.Level));
    // The same seed twice makes the same picture: keep the first file, name the second apart.
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n)
        path = folder.filePath(PuzzleFileName(job->Kind, job->Cols, job->Rows, job->Seed, job->Puzzle.Level, n));
    try {
        PuzzleFile::SaveFile(path, DocumentFromPicture(job->Puzzle.Picture), PuzzleFile::Target::ChosenPath);
    } catch (const EPuzzleError &e) {
        emit Failed(e.Message());
        return;
    }
    accept();
    emit PuzzleMade(path);
}
