// The phonetic dictionary editor (being written).
#include <QTest>

class DictionaryTest : public QObject {
    Q_OBJECT
};

QTEST_MAIN(DictionaryTest)
#include "dictionary_test.moc"
