#include "Falavoz.h"

#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <optional>

#include "Encoding.h"

std::string TextForEngine(const QString& text) { return Utf8ToCp1252(text.toUtf8().toStdString()); }

namespace {

// Receives the engine's notification, which carries no context: there is one
// engine per process, so one receiver.
class Notifications : public QObject {
public:
    explicit Notifications(QObject* parent) : QObject(parent) {
        const int fd = TTS_GetNotificationFd();
        if (fd < 0) return;
        auto* watcher = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(watcher, &QSocketNotifier::activated, this, [] { WaveCallback(0, 0, 0, 957, 0); });
    }

    static void FV_CALL Notify(int32_t, int32_t code, int32_t) {
        if (!current) return;
        if (current->starting) {
            current->endWhileStarting = code;
            return;
        }
        QMetaObject::invokeMethod(
            current, [code] { Deliver(code); }, Qt::QueuedConnection);
    }

    // Runs an engine call that starts speech; an end it reported is handed
    // on once the engine has returned.
    int Start(const std::function<int()>& call) {
        starting = true;
        endWhileStarting.reset();
        const int code = call();
        starting = false;
        if (endWhileStarting) Deliver(*endWhileStarting);
        return code;
    }

    static void Deliver(int code) {
        if (current && current->onEnd) current->onEnd(code);
    }

    static inline QPointer<Notifications> current;
    Falavoz::EndOfSpeech onEnd;
    bool starting = false;
    std::optional<int> endWhileStarting;
};

QByteArray FileNameForEngine(const QString& fileName) { return QFile::encodeName(fileName); }

class LinkedFalavoz final : public Falavoz {
public:
    explicit LinkedFalavoz(QObject* parent) : notifications_(new Notifications(parent)) {
        Notifications::current = notifications_;
    }

    int Init(EndOfSpeech onEnd) override {
        notifications_->onEnd = std::move(onEnd);
        return TTS_Init(0, &Notifications::Notify, 0);
    }
    int SetMode(int speed, int volume, int pitch) override {
        return TTS_SetMode(static_cast<uint8_t>(speed), static_cast<uint8_t>(volume),
                           static_cast<uint8_t>(pitch));
    }
    int SetOption(int option, int value) override { return TTS_SetOption(option, value); }
    int PlayText(const QString& text) override {
        const std::string engineText = TextForEngine(text);
        return notifications_->Start([&] { return TTS_PlayText(engineText.c_str(), 1); });
    }
    int PlayMusic(const QString& fileName) override {
        const QByteArray file = FileNameForEngine(fileName);
        return notifications_->Start([&] { return TTS_PlayMusic(file.constData(), 0, 1); });
    }
    int StopText() override { return TTS_StopText(); }
    int PauseText() override { return TTS_PauseText(); }
    int ResumeText() override { return TTS_ResumeText(); }
    int DictLoad(const QString& fileName) override {
        return TTS_DictLoad(FileNameForEngine(fileName).constData());
    }
    int DictAdd(const QString& word, const QString& transcription) override {
        return TTS_DictAdd(TextForEngine(word).c_str(), TextForEngine(transcription).c_str());
    }
    int DictUnload() override { return TTS_DictUnload(); }

private:
    QPointer<Notifications> notifications_;
};

}  // namespace

std::unique_ptr<Falavoz> LinkFalavoz(QObject* parent) { return std::make_unique<LinkedFalavoz>(parent); }
