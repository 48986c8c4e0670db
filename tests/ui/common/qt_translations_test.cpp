// Qt's standard buttons speak Japanese once the programs have loaded Qt's
// translations, whatever the language of the desktop.
#include "ui/common/qt_translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

// The label without its keyboard accelerator ("はい(&Y)" reads "はい").
QString Label(QAbstractButton* button) {
    return button->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
}

}  // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

  private slots:
    void standardButtonsReadJapaneseAfterLoading() {
        QVERIFY(qm::LoadQtTranslations(*QCoreApplication::instance()));

        QMessageBox box(QMessageBox::NoIcon, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(Label(box.button(QMessageBox::Yes)), QStringLiteral("はい"));
        QCOMPARE(Label(box.button(QMessageBox::No)), QStringLiteral("いいえ"));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(Label(buttons.button(QDialogButtonBox::Ok)), QStringLiteral("OK"));
        QCOMPARE(Label(buttons.button(QDialogButtonBox::Cancel)), QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
