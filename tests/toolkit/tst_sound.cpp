// The chime played for real: it never holds up the caller, with or without a sound server.
#include "toolkit/Sound.h"

#include <QTemporaryDir>
#include <QTest>

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void playsWithoutAServerAndReturns();
};

void TestSound::playsWithoutAServerAndReturns()
{
    // No server to reach: the runtime folder is empty and PulseAudio's address leads nowhere.
    // The chime is silent and the game goes on; a blocking call would hang the test instead.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + runtime.filePath("none")));
    qputenv("PULSE_CLIENTCONFIG", "/dev/null");
    const QString chime = QStringLiteral(SETKARIY_BIN_DIR "/sound.wav");
    QVERIFY(QFile::exists(chime));
    for (int i = 0; i < 3; ++i)
        PlaySoundAsync(chime);
    PlaySoundAsync(runtime.filePath("missing.wav"));
}

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
