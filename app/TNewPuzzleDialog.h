// «Новая головоломка»: size, difficulty and kind of picture, made in a worker thread and saved.
#pragma once

#include "core/Generator.h"

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class QTimer;

class TNewPuzzleDialog : public QDialog {
    Q_OBJECT

public:
    explicit TNewPuzzleDialog(QWidget *parent = nullptr);
    ~TNewPuzzleDialog() override;

    // Where made puzzles go: a folder of the user's data, made when missing.
    static QString PuzzleFolder();
    // The same folder, not made when it is missing.
    static QString PuzzleFolderPath();
    // The word for a difficulty band: «лёгкая», «средняя», «трудная», …
    static QString LevelWord(int32_t level);
    // "Фигура 15x15 №123 2.pxg": kind, size and seed remake it, the last digit is the level.
    static QString PuzzleFileName(TPictureKind kind, int32_t cols, int32_t rows, uint32_t seed, int32_t level, int copy = 1);

    // Asks for a puzzle as «Создать» does; the seed is drawn anew unless given.
    void Start(uint32_t seed = 0);
    bool Running() const;
    // Stops the search; the window answers at once, the worker drops out after its solver run.
    void CancelRun();
    // For tests: waits for the worker and hands its result over as the event loop would.
    void WaitForWorker();

    QComboBox *SizeBox, *LevelBox, *KindBox;
    QSpinBox *WidthBox, *HeightBox;
    QLabel *RangeLabel, *ProgressLabel;
    QProgressBar *Progress;
    QPushButton *bCreate, *bCancel;
    // Seconds the search may take before it says it found nothing.
    int TimeBudget = 30;

signals:
    // A new puzzle was written there; the frame opens it.
    void PuzzleMade(const QString &path);
    // Why no puzzle came, for the frame to show.
    void Failed(const QString &text);

protected:
    void reject() override;

private:
    struct TJob;
    int32_t Cols() const;
    int32_t Rows() const;
    void SizeChanged();
    void ShowIdle(bool idle);
    void WorkerDone(const std::shared_ptr<TJob> &job);

    std::shared_ptr<TJob> Job;
    QPointer<QThread> Worker;
    QPointer<QThread> LastWorker; // the one a test waits for, cancelled or not
    QTimer *Ticker;
};
