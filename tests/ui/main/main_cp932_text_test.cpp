// The windows' text edge: QString in the boxes, Shift-JIS with CR LF outside.
#include <QTest>

#include "ui/main/cp932_text.h"

using namespace qm;

class Cp932TextTest : public QObject {
    Q_OBJECT
  private slots:
    void ShiftJisRoundTripsThroughTheBoxes() {
        // 十 ends in the byte of a backslash; ｱ is a single half-width byte.
        const std::string bytes = "\x8f\x5c\x95\xaa\xb1";
        QCOMPARE(FromCp932(bytes), QStringLiteral("十分ｱ"));
        QCOMPARE(ToCp932(QStringLiteral("十分ｱ")), bytes);
    }

    void WhatShiftJisCannotHoldBecomesAReference() {
        QCOMPARE(ToCp932(QStringLiteral("a😀b")), std::string("a&#x1F600;b"));
    }

    void DamagedBytesShowAsReplacementCharacters() {
        // A lone trail byte and a lead byte cut off at the end.
        const QString shown = FromCp932(std::string("a\xa0z\x82", 4));
        QCOMPARE(shown, QStringLiteral("a\uFFFDz\uFFFD"));
    }

    void LineEndsBecomeCrLfOutsideAndNewLinesInside() {
        QCOMPARE(EditTextToCp932(QStringLiteral("a\nb\u2029c")), std::string("a\r\nb\r\nc"));
        QCOMPARE(EditTextToCp932(QStringLiteral("a\r\nb")), std::string("a\r\nb"));
        QCOMPARE(EditTextFromCp932("a\r\nb\rc"), QStringLiteral("a\nb\nc"));
    }
};

QTEST_MAIN(Cp932TextTest)
#include "main_cp932_text_test.moc"
