// Keeps the tests' settings out of the user's: the store lives in a folder
// of the test's own, emptied before each test.
#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include "Settings.h"

class SettingsSandbox {
public:
    SettingsSandbox() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
        Clear();
    }
    void Clear() {
        auto store = OpenSettings();
        store->clear();
        store->sync();
    }
    // The stored value, as text.
    QString Value(const QString& key) { return OpenSettings()->value(key).toString(); }
    void Set(const QString& key, const QString& value) {
        auto store = OpenSettings();
        store->setValue(key, value);
        store->sync();
    }

private:
    QTemporaryDir folder_;
};
