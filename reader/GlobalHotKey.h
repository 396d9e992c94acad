// The hot key that reads the selection, pressed in any window of the
// desktop. Keys and modifiers are given as the system's own settings store
// them: virtual keys 112 (F1) to 123 (F12), modifiers 1 Alt, 2 Ctrl, 4 Shift.
#pragma once

#include <QObject>
#include <memory>

class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    enum Modifier { kAlt = 1, kCtrl = 2, kShift = 4 };
    static constexpr int kF1 = 112;
    static constexpr int kF12 = 123;

    using QObject::QObject;
    // Replaces the key held so far. False when the desktop refused it (another
    // program holds it, or there is no desktop to ask).
    virtual bool Register(int modifiers, int virtualKey) = 0;
    virtual void Unregister() = 0;

signals:
    void pressed();
};

// The desktop's hot key: X11 where there is a display, else one that never
// fires.
std::unique_ptr<GlobalHotKey> DesktopHotKey(QObject* parent);
