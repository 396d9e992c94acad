// The reader's connection to the real engine: speech continues through the
// notification descriptor on the event loop, the end arrives there and never
// inside an engine call, and a failed start reports its error once. The calls are those the
// recording engine of the other tests stands in for.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Falavoz.h"

class EngineLinkTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<Falavoz> engine;
    QList<int> ends;
    bool insideACall = false;  // an end must not arrive inside TTS_PlayText

    void SetDevice(const QString& device) { qputenv("FALAVOZ_ALSA_DEVICE", device.toUtf8()); }

private slots:
    void initTestCase() {
        engine = LinkFalavoz(this);
        QCOMPARE(engine->Init([this](int code) {
            QVERIFY(!insideACall);
            ends << code;
        }),
                 int(FV_OK));
        QCOMPARE(engine->SetMode(12, 20, 10), int(FV_OK));
        QCOMPARE(engine->SetOption(6, 16000), int(FV_OK));
    }
    void init() { ends.clear(); }

    void speechPlaysToTheEndThroughTheEventLoop() {
        const QString captured = folder.filePath(QStringLiteral("fala.raw"));
        SetDevice(QStringLiteral("file:FILE=%1,FORMAT=raw").arg(captured));
        insideACall = true;
        QCOMPARE(engine->PlayText(QStringLiteral("Olá, “mundo” — até já 🙂.")), int(FV_OK));
        insideACall = false;
        QTRY_COMPARE_WITH_TIMEOUT(ends, QList<int>({FV_OK}), 20000);
        // About a second and a half of 16 kHz speech.
        QVERIFY2(QFileInfo(captured).size() > 16000 * 2,
                 qPrintable(QString::number(QFileInfo(captured).size())));
    }

    void pauseResumeAndStopAnswerWhileSpeaking() {
        SetDevice(QStringLiteral("null"));
        QCOMPARE(engine->PlayText(QStringLiteral("Um texto um pouco mais longo, para dar tempo de pausar.")),
                 int(FV_OK));
        QCOMPARE(engine->PauseText(), int(FV_OK));
        QCOMPARE(engine->ResumeText(), int(FV_OK));
        QCOMPARE(engine->PlayText(QStringLiteral("outro")), int(FV_BUSY));
        QCOMPARE(engine->StopText(), int(FV_OK));
        QTest::qWait(300);
        QVERIFY(ends.isEmpty());  // a stopped speech ends without a notification
        QCOMPARE(engine->StopText(), int(FV_INVALID_COMMAND));
    }

    void withoutASoundCardTheErrorArrivesOnceAsTheStartReturns() {
        SetDevice(QStringLiteral("falavoz_no_such_device"));
        const int code = engine->PlayText(QStringLiteral("Olá"));
        QCOMPARE(code, int(FV_NO_DEVICE));
        QCOMPARE(ends, QList<int>({FV_NO_DEVICE}));
        QTest::qWait(300);
        QCOMPARE(ends.size(), 1);
    }

    void theTextReachesTheEngineInItsCodePage() {
        QCOMPARE(TextForEngine(QStringLiteral("“Só” — já…🙂")),
                 std::string("\"S\xF3\" - j\xE1..."));
    }
};

QTEST_MAIN(EngineLinkTest)
#include "engine_link_test.moc"
