// The about box.
#pragma once

#include <QDialog>

class QLabel;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* Picture;

protected:
    // A click on the picture closes the box.
    bool eventFilter(QObject* watched, QEvent* event) override;
};
