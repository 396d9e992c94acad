// The reader's settings store: the key "Leitor Falavoz" of the user's
// settings (the registry on Windows, an INI file in the configuration folder
// elsewhere). Each stored property of a control is one string value named
// by the control and the property joined by a point ("ckAlt.State"), holding
// the property's text: numbers in decimal, check boxes as "cbChecked" or
// "cbUnchecked".
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

class QAbstractButton;
class QAbstractSlider;

std::unique_ptr<QSettings> OpenSettings();

// Values are read from and written to the current group of the store. A
// missing or unreadable value leaves the control as it is.
void SaveState(QSettings& store, const QAbstractButton& box);
void RestoreState(QSettings& store, QAbstractButton& box);
void SavePosition(QSettings& store, const QAbstractSlider& slider);
void RestorePosition(QSettings& store, QAbstractSlider& slider);

// "name.property" as the store names it.
QString ValueName(const QString& name, const char* property);
// A stored number; fallback when missing or not a number.
int StoredNumber(QSettings& store, const QString& valueName, int fallback);

// A failed write, in Portuguese, or empty when the store was written.
QString StoreError(QSettings& store);
