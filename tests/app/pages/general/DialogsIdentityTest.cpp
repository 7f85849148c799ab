// The unit identity dialogs and the service settings dialog: what they show, what OK and
// Cancel write, and the entries OK refuses.
#include "tests/app/pages/general/MainTestSupport.h"

#include "app/pages/general/frmCANDiagnosis.h"
#include "app/pages/general/frmCANSettings.h"
#include "app/pages/general/frmIDNumber.h"
#include "app/pages/general/frmSecretSettings.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include <functional>

using namespace generaltest;

namespace {

class DialogsTest : public PageFixture {
protected:
    XelMain& Main() { return *setup->Main(); }
    static void Type(Number* box, const QString& text)
    {
        box->TextBox()->selectAll();
        QTest::keyClicks(box->TextBox(), text);
    }
    static void Click(QDialog& dialog, const char* button)
    {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

// One case for the three single-value dialogs.
struct ValueCase {
    const char* dialog;
    qint64 stored;   // put into the setup before the dialog opens
    const char* typed; // "" types nothing
    const char* button;
    bool closes;
    qint64 result;   // the setting afterwards
};

TEST_F(DialogsTest, SingleValueDialogsWriteOnlyAcceptedEntries)
{
    const ValueCase cases[] = {
        {"frmIDNumber", 1, "25", "cmdOK", true, 25},
        {"frmIDNumber", 1, "25", "cmdCancel", true, 1},
        {"frmIDNumber", 1, "239", "cmdOK", true, 239},
        {"frmIDNumber", 1, "0", "cmdOK", false, 1},      // below the range
        {"frmIDNumber", 250, "", "cmdOK", false, 250},   // a stored value out of range is shown, not taken
        {"frmIDNumber", 250, "7", "cmdOK", true, 7},
        {"frmCANSettings", 171, "", "cmdOK", true, 171},
        {"frmCANSettings", 171, "200", "cmdOK", true, 200},
        {"frmCANSettings", 171, "0", "cmdOK", true, 0},
        {"frmCANSettings", 171, "200", "cmdCancel", true, 171},
        {"frmCANSettings", 300, "", "cmdOK", false, 300},
        {"frmCANDiagnosis", 0, "65535", "cmdOK", true, 65535},
        {"frmCANDiagnosis", 12, "", "cmdCancel", true, 12},
        {"frmCANDiagnosis", 70000, "", "cmdOK", false, 70000},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 '%3' %4").arg(c.dialog).arg(c.stored).arg(c.typed).arg(c.button).toStdString());
        NewSetup();
        std::unique_ptr<QDialog> dialog;
        std::function<qint64()> value;
        QString box;
        const QString name = QString::fromLatin1(c.dialog);
        if (name == "frmIDNumber") {
            Main().SetIDNumber(int(c.stored));
            auto* d = new frmIDNumber;
            d->SetXelObject(setup.get());
            dialog.reset(d);
            value = [this] { return qint64(Main().IDNumber()); };
            box = "numIDNumber";
        } else if (name == "frmCANSettings") {
            Main().SetCANNumber(int(c.stored));
            auto* d = new frmCANSettings;
            d->SetXelObject(setup.get());
            dialog.reset(d);
            value = [this] { return qint64(Main().CANNumber()); };
            box = "numCANUARTNumber";
        } else {
            Main().SetCANSPN(qint32(c.stored));
            auto* d = new frmCANDiagnosis;
            d->SetXelObject(setup.get());
            dialog.reset(d);
            value = [this] { return qint64(Main().CANSPN()); };
            box = "numCANSPN";
        }
        dialog->show();
        auto* number = dialog->findChild<Number*>(box);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->Value(), c.stored) << "the stored value is shown";
        if (QByteArray(c.typed).size() > 0)
            Type(number, QString::fromLatin1(c.typed));
        const int beeps = doubles.presenter.beeps;
        Click(*dialog, c.button);
        EXPECT_EQ(dialog->isVisible(), !c.closes);
        if (!c.closes)
            EXPECT_GT(doubles.presenter.beeps, beeps);
        EXPECT_EQ(value(), c.result);
    }
}

TEST_F(DialogsTest, ProtectLampBoxIsShownAndWritten)
{
    Main().SetCANProtectLamp(true);
    frmCANDiagnosis dialog;
    dialog.SetXelObject(setup.get());
    dialog.show();
    auto* lamp = dialog.findChild<QCheckBox*>("chkCANProtectLamp");
    EXPECT_TRUE(lamp->isChecked());
    lamp->setChecked(false);
    Click(dialog, "cmdOK");
    EXPECT_FALSE(Main().CANProtectLamp());
}

TEST_F(DialogsTest, SecretSettingsShowClearAndStore)
{
    auto fill = [this] {
        Main().SetByteOne(1);
        Main().SetByteTwo(2);
        Main().SetByteThree(3);
        Main().SetByteFour(255);
        Main().SetWordOne(40000);
        Main().SetWordTwo(2);
        Main().SetWordThree(3);
        Main().SetWordFour(65535);
    };
    auto values = [this] {
        return QList<qint32>{Main().ByteOne(), Main().ByteTwo(), Main().ByteThree(), Main().ByteFour(),
                             Main().WordOne(), Main().WordTwo(), Main().WordThree(), Main().WordFour()};
    };
    const QList<qint32> filled{1, 2, 3, 255, 40000, 2, 3, 65535};
    struct Case {
        bool clear;
        const char* button;
        QList<qint32> expected;
    } cases[] = {
        {true, "cmdCancel", filled},
        {true, "cmdOK", QList<qint32>(8, 0)},
        {false, "cmdOK", filled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.clear).arg(c.button).toStdString());
        fill();
        frmSecretSettings dialog;
        dialog.SetXelObject(setup.get());
        dialog.show();
        EXPECT_EQ(dialog.findChild<Number*>("numWord_0")->Value(), 40000);
        EXPECT_EQ(dialog.findChild<Number*>("numByte_3")->Value(), 255);
        EXPECT_EQ(dialog.findChild<QLabel*>("lblSecret_4")->text(), "Word 1");
        if (c.clear)
            Click(dialog, "cmdClear");
        Click(dialog, c.button);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(values(), c.expected);
    }
}

TEST_F(DialogsTest, SecretSettingsRefuseAWordTheUnitCannotHold)
{
    Main().SetWordThree(70000);
    Main().SetByteOne(9);
    frmSecretSettings dialog;
    dialog.SetXelObject(setup.get());
    dialog.show();
    EXPECT_EQ(dialog.findChild<Number*>("numWord_2")->Value(), 70000);
    Type(dialog.findChild<Number*>("numByte_0"), "10");
    Click(dialog, "cmdOK");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Main().ByteOne(), 9) << "nothing is written while an entry is refused";
    Type(dialog.findChild<Number*>("numWord_2"), "7");
    Click(dialog, "cmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Main().ByteOne(), 10);
    EXPECT_EQ(Main().WordThree(), 7);
}

} // namespace
