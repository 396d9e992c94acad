#include "Settings.h"

#include <QAbstractButton>
#include <QAbstractSlider>

namespace {
const QString kChecked = QStringLiteral("cbChecked");
const QString kUnchecked = QStringLiteral("cbUnchecked");
}  // namespace

std::unique_ptr<QSettings> OpenSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Leitor Falavoz"));
}

QString ValueName(const QString& name, const char* property) {
    return QStringLiteral("%1.%2").arg(name, QLatin1String(property));
}

int StoredNumber(QSettings& store, const QString& valueName, int fallback) {
    bool isNumber = false;
    const int number = store.value(valueName).toString().trimmed().toInt(&isNumber);
    return isNumber ? number : fallback;
}

void SaveState(QSettings& store, const QAbstractButton& box) {
    store.setValue(ValueName(box.objectName(), "State"), box.isChecked() ? kChecked : kUnchecked);
}

void RestoreState(QSettings& store, QAbstractButton& box) {
    const QString state = store.value(ValueName(box.objectName(), "State")).toString();
    if (state == kChecked || state == kUnchecked) box.setChecked(state == kChecked);
}

void SavePosition(QSettings& store, const QAbstractSlider& slider) {
    store.setValue(ValueName(slider.objectName(), "Position"), QString::number(slider.value()));
}

void RestorePosition(QSettings& store, QAbstractSlider& slider) {
    slider.setValue(StoredNumber(store, ValueName(slider.objectName(), "Position"), slider.value()));
}

QString StoreError(QSettings& store) {
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return QStringLiteral("Não foi possível gravar as opções em %1.").arg(store.fileName());
}
