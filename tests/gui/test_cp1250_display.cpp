// The core's Windows-1250 tables against Qt's Unicode: upper case and the conversions of the
// window's boundary.

#include <QtTest>

#include "core/text/cp1250.h"
#include "core/text/strings.h"
#include "gui/convert.h"

class TestCodePage : public QObject {
    Q_OBJECT

  private slots:
    void upperCaseAgreesWithUnicodeForEveryByte() {
        for (int b = 0; b < 256; ++b) {
            const char32_t u = tarnwick::Cp1250ToUnicode(static_cast<unsigned char>(b));
            const QChar upper = QChar(static_cast<char16_t>(u)).toUpper();
            const int expected = tarnwick::UnicodeToCp1250(upper.unicode());
            // A capital the code page lacks (ß, µ, ˙ ...) leaves the byte as it is.
            const int want = expected < 0 ? b : expected;
            QCOMPARE(static_cast<int>(tarnwick::UpperCase1250(static_cast<unsigned char>(b))),
                     want);
        }
    }

    void conversionRoundTrips() {
        std::string all;
        for (int b = 1; b < 256; ++b) {
            if (tarnwick::Cp1250ToUnicode(static_cast<unsigned char>(b)) != 0xFFFD) {
                all.push_back(static_cast<char>(b));
            }
        }
        QCOMPARE(tarnwick::gui::ToBytes(tarnwick::gui::FromBytes(all)), all);
        QCOMPARE(tarnwick::gui::FromBytes("\xB3\xF3\xBF\xEA"), QString::fromUtf8("łóżę"));
        // What the code page cannot hold becomes a question mark, never a wrong letter.
        QCOMPARE(tarnwick::gui::ToBytes(QString::fromUtf8("a€語")), std::string("a\x80?"));
    }
};

QTEST_MAIN(TestCodePage)
#include "test_cp1250_display.moc"
