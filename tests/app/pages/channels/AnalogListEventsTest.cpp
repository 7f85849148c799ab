// Validation, clearing, copy and move through the list's drop routine, keys and the curve.
#include "tests/app/pages/channels/AnalogPageFixture.h"

#include "app/pages/channels/frmSetpoints.h"
#include "app/pages/general/frmMessage.h"

#include <QImage>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>

#include <cmath>

using namespace analogtest;

namespace {
constexpr int kYes = 6;
constexpr int kNo = 7;

void PrepareRPMInput(XelAnalogIn* input, qint32 lower, qint32 upper)
{
    input->SetActive(true);
    input->SetAction(7);
    input->SetInputType(0);
    input->SetRPMLimit(0, 20);
    input->SetRPMLimit(1, 40);
    input->SetRPM(0, lower);
    input->SetRPM(1, upper);
}
} // namespace

TEST_F(AnalogPageTest, SetpointSpeedsMustRise)
{
    struct Case {
        qint32 lower, upper;
        bool ok;
    } cases[] = {{800, 1200, true}, {1200, 800, false}, {1000, 1000, false}};
    for (const Case& c : cases) {
        PrepareRPMInput(Input(2), c.lower, c.upper);
        page->LoadAnalog();
        Click(2);
        doubles.presenter.shown.clear();
        EXPECT_EQ(page->ValidateAnalog(1), c.ok);
        EXPECT_EQ(Messages(), 0);
        EXPECT_EQ(page->ValidateAnalog(0), c.ok);
        EXPECT_EQ(ValidateCurrentPage(state, TabAnalogIn), c.ok);
        if (!c.ok) {
            ASSERT_GE(Messages(), 1);
            EXPECT_EQ(LastMessage(), QStringLiteral("Upper Setpoint RPM must be greater than Lower Setpoint RPM (%1)!").arg(c.lower));
            EXPECT_EQ(doubles.presenter.shown.last().style, 48);
        }
    }
    // A failed check keeps the list on the shown input.
    QTest::mouseClick(page->lvwAnalog->viewport(), Qt::LeftButton, {},
                      page->lvwAnalog->visualItemRect(Row(3)).center());
    EXPECT_EQ(page->lvwAnalog->currentItem(), Row(2));
    EXPECT_EQ(page->txtAnalogDescription->text(), Input(2)->Text());
    // With the setpoint boxes disabled any speeds pass.
    Input(4)->SetRPM(0, 1500);
    Input(4)->SetRPM(1, 900);
    Input(2)->SetAction(0);
    page->LoadAnalog();
    Click(4);
    EXPECT_TRUE(page->ValidateAnalog(0));
}

TEST_F(AnalogPageTest, DeleteClearsTheInputAfterTheQuestion)
{
    struct Case {
        bool shift;
        QList<int> answers;
        bool cleared;
    } cases[] = {{false, {kNo}, false}, {false, {kYes}, true}, {true, {}, true}};
    for (const Case& c : cases) {
        XelAnalogIn* input = Input(4);
        input->SetActive(true);
        input->SetText("Oil");
        input->SetAction(5);
        input->SetSensorMax(2500);
        input->SetRPM(0, 700);
        input->SetInputType(1);
        page->LoadAnalog();
        Click(4);
        doubles.presenter.shown.clear();
        doubles.presenter.answers = c.answers;
        doubles.keys.shift = c.shift;
        page->lvwAnalog_KeyDown(46);
        doubles.keys.shift = false;
        EXPECT_EQ(Messages(), c.shift ? 0 : 1);
        if (!c.shift)
            EXPECT_EQ(LastMessage(), "Do you want to clear Analog Input channel 4?");
        EXPECT_EQ(input->Active(), !c.cleared);
        EXPECT_EQ(input->Text(), c.cleared ? "" : "Oil");
        EXPECT_EQ(input->SensorMax(), c.cleared ? 100 : 2500);
        EXPECT_EQ(input->RPM(0), 700);
        EXPECT_EQ(input->InputType(), 1);
        EXPECT_EQ(Row(4)->text(2), input->Text());
        EXPECT_EQ(pagecommon::RowPicture(Row(4)), c.cleared ? 27 : 10);
    }
}

TEST_F(AnalogPageTest, SpaceAndEnterToggleTheActiveBox)
{
    Click(5);
    page->lvwAnalog_KeyDown(13);
    EXPECT_TRUE(Input(5)->Active());
    page->lvwAnalog_KeyDown(32);
    EXPECT_FALSE(Input(5)->Active());
    // A right-button double click does nothing.
    page->lvwAnalog_MouseDown(2);
    page->lvwAnalog_DblClick();
    EXPECT_FALSE(Input(5)->Active());
}

TEST_F(AnalogPageTest, DropsMoveOrCopyAnInput)
{
    struct Case {
        const char* what;
        int shift;
        bool targetActive;
        QList<int> answers;
        int questionId; // 0 none
        bool changed, sourceReset;
    } cases[] = {
        {"move onto inactive", 0, false, {}, 0, true, true},
        {"move with shift", 1, true, {}, 0, true, true},
        {"copy with ctrl", 2, false, {}, 0, true, false},
        {"move onto active, no", 0, true, {kNo}, 302, false, false},
        {"copy onto active, yes", 2, true, {kYes}, 301, true, false},
        {"alt alone", 4, false, {}, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc = CreateDefaultSetupDocument();
        state.SetXelObject(doc.get());
        XelAnalogIn* source = Input(3);
        source->SetActive(true);
        source->SetText("Boost");
        source->SetAction(2);
        source->SetSensorMax(2500);
        source->SetInputType(1);
        Input(5)->SetActive(c.targetActive);
        page->LoadAnalog();
        Click(3);
        doubles.presenter.shown.clear();
        doubles.presenter.answers = c.answers;
        doubles.keys.shift = (c.shift & 1) != 0;
        relays.ghosted = 0;
        std::unique_ptr<QMimeData> data(page->lvwAnalog_OLEStartDrag());
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(page->lvwAnalog_OLEDragOver(data.get(), Row(5), c.shift), c.shift == 0 || (c.shift & 1) ? 2 : 1);
        page->lvwAnalog_OLEDragDrop(data.get(), Row(5), c.shift);
        doubles.keys.shift = false;
        EXPECT_EQ(Messages(), c.questionId ? 1 : 0);
        if (c.questionId == 302)
            EXPECT_EQ(LastMessage(), "You are about to move data into an active Analog Input Channel.\n"
                                     "Do you want to replace the content of Analog Input Channel 5 with the content of "
                                     "Analog Input Channel 3?");
        XelAnalogIn* target = Input(5);
        EXPECT_EQ(target->Text() == "Boost", c.changed);
        EXPECT_EQ(source->Text().isEmpty(), c.sourceReset);
        if (c.changed) {
            EXPECT_EQ(target->SensorMax(), 2500);
            EXPECT_EQ(Row(5)->text(2), "Boost");
            EXPECT_EQ(Row(5)->text(1), "27-28 (AX-2:1-2)");
            EXPECT_EQ(page->lvwAnalog->currentItem(), Row(5));
            EXPECT_EQ(page->txtAnalogDescription->text(), "Boost");
            EXPECT_GE(relays.ghosted, 1);
        }
        if (c.sourceReset) {
            EXPECT_FALSE(source->Active());
            EXPECT_EQ(source->SensorMax(), 100);
            EXPECT_EQ(source->InputType(), 0);
            EXPECT_EQ(Row(3)->text(2), "");
            EXPECT_EQ(pagecommon::RowPicture(Row(3)), 27);
        }
    }
}

TEST_F(AnalogPageTest, WiredInputsCannotGoOntoBusOnlyChannels)
{
    SetCAN(true);
    Input(2)->SetActive(true);
    Input(2)->SetText("Wired");
    Input(14)->SetActive(true);
    Input(14)->SetText("Bus");
    page->LoadAnalog();
    Click(2);
    std::unique_ptr<QMimeData> data(page->lvwAnalog_OLEStartDrag());
    EXPECT_EQ(page->lvwAnalog_OLEDragOver(data.get(), Row(12), 0), 0);
    page->lvwAnalog_OLEDragDrop(data.get(), Row(12), 0);
    EXPECT_EQ(Input(12)->Text(), "");
    // A bus input may go anywhere; the moved-away bus channel stays J1939.
    Click(14);
    data.reset(page->lvwAnalog_OLEStartDrag());
    page->lvwAnalog_OLEDragDrop(data.get(), Row(2), 0);
    EXPECT_EQ(Messages(), 1); // channel 2 is active
    doubles.presenter.answers = {kYes};
    page->lvwAnalog_OLEDragDrop(data.get(), Row(2), 0);
    EXPECT_EQ(Input(2)->Text(), "Bus");
    EXPECT_EQ(Input(2)->InputType(), 4);
    EXPECT_EQ(Row(2)->text(1), "J1939");
    EXPECT_EQ(Input(14)->InputType(), 4);
    EXPECT_FALSE(Input(14)->Active());
    // The shown channel's own type list.
    EXPECT_EQ(ItemData(page->cmbAnalogInputType), (QList<int>{0, 1, 4, 3}));
}

TEST_F(AnalogPageTest, ForeignOrSelfDropsChangeNothing)
{
    Input(3)->SetText("Mine");
    page->LoadAnalog();
    Click(3);
    doc->ResetBackup();
    QMimeData foreign;
    foreign.setText("3*");
    page->lvwAnalog_OLEDragDrop(&foreign, Row(5), 0);
    EXPECT_EQ(doubles.presenter.beeps, 1);
    QMimeData unknown;
    unknown.setData("VIRUDIVIRU", QByteArray("99*\0\0", 5));
    page->lvwAnalog_OLEDragDrop(&unknown, Row(5), 0);
    EXPECT_EQ(doubles.presenter.beeps, 2);
    std::unique_ptr<QMimeData> self(pagecommon::MakeDragPayload("3*"));
    page->lvwAnalog_OLEDragDrop(self.get(), Row(3), 0);
    EXPECT_FALSE(doc->Changed());
    // A drag whose validation fails carries nothing.
    PrepareRPMInput(Input(3), 1200, 800);
    page->LoadAnalog();
    Click(3);
    EXPECT_EQ(page->lvwAnalog_OLEStartDrag(), nullptr);
}

TEST_F(AnalogPageTest, CurveIsDrawnAndOpensInTheSetpointsWindow)
{
    PrepareRPMInput(Input(2), 600, 1200);
    Input(2)->SetUnits("bar");
    page->LoadAnalog();
    Click(2);
    const QVector<DataEntry> data = page->graRPMDependentAlarm->Data();
    ASSERT_EQ(data.size(), 4);
    const float expected[4][2] = {{100, 2}, {600, 2}, {1200, 4}, {3000, 4}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(data[i].fXValue, expected[i][0]);
        EXPECT_FLOAT_EQ(data[i].fYValue, expected[i][1]);
    }
    page->numAnalogSetpointRPM[0]->SetValue(900);
    EXPECT_FLOAT_EQ(page->graRPMDependentAlarm->Data()[1].fXValue, 900.0f);

    doc->ResetBackup();
    std::unique_ptr<frmSetpoints> window = page->PrepareSetpointsWindow();
    EXPECT_EQ(window->windowTitle(), "RPM Dependent Setpoints");
    EXPECT_EQ(window->txtAnalogDescription->text(), "");
    EXPECT_EQ(window->graRPMDependentAlarm->MarkDescriptionLeft(), "bar");
    EXPECT_EQ(window->graRPMDependentAlarm->MarkDescriptionBottom(), "RPM");
    EXPECT_EQ(window->graRPMDependentAlarm->YSteps(), page->graRPMDependentAlarm->YSteps());
    EXPECT_EQ(window->graRPMDependentAlarm->Data().size(), 4);
    EXPECT_FLOAT_EQ(window->graRPMDependentAlarm->Data()[1].fXValue, 900.0f);
    window->show();
    EXPECT_EQ(window->lblYMarking->text(), "bar");
    EXPECT_EQ(window->lblXMarking->text(), "RPM");
    // The double click shows it modally and changes nothing.
    emit page->graRPMDependentAlarm->DblClick();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0].name, "frmSetpoints");
    EXPECT_FALSE(doc->Changed());
}

TEST_F(AnalogPageTest, SetpointsWindowReadOutAndResize)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    frmSetpoints window;
    window.show();
    struct Case {
        float x, y;
        QString rpm, value;
    } cases[] = {
        {1234.6f, 2.349f, "1,235", "2.3"},
        {-1000000000.0f, -1000000000.0f, "", ""},
        {500.0f, -1000000000.0f, "500", "-1,000,000,000.0"},
        {std::nanf(""), 1.0f, "", ""},
        {INFINITY, 1.0f, "", ""},
    };
    for (const Case& c : cases) {
        window.graRPMDependentAlarm_GraphValues(c.x, c.y);
        EXPECT_EQ(window.txtValues[0]->text(), c.rpm) << c.x;
        EXPECT_EQ(window.txtValues[1]->text(), c.value) << c.y;
    }
    // "Value at cursor" is never cut and never runs under the RPM box.
    EXPECT_GE(window.lblSetpoints->width(), window.lblSetpoints->sizeHint().width());
    EXPECT_GE(window.lblSetpoints->x(), 0);
    EXPECT_LE(window.lblSetpoints->x() + window.lblSetpoints->width(), window.txtValues[0]->x());
    window.resize(1000, 700);
    QCoreApplication::processEvents();
    const int gap = pagecommon::Twips(120);
    EXPECT_NEAR(window.cmdClose->x() + window.cmdClose->width(), window.width() - gap, 1);
    EXPECT_NEAR(window.cmdClose->y() + window.cmdClose->height(), window.height() - gap, 1);
    EXPECT_NEAR(window.conValues->y(), window.graRPMDependentAlarm->y() + window.graRPMDependentAlarm->height() + 3, 1);
    const QSize graphBefore = window.graRPMDependentAlarm->size();
    window.resize(40, 30); // far below the controls: the steps that would go negative are left out
    QCoreApplication::processEvents();
    EXPECT_GT(window.graRPMDependentAlarm->width(), 0);
    EXPECT_LE(window.graRPMDependentAlarm->width(), graphBefore.width());
    QLocale::setDefault(QLocale::c());
}

TEST(JumperMessageTest, SettingShowsItsTextAndPins)
{
    // Pins 3 and 4 are part of the drawing whatever the setting.
    struct Case {
        qint16 setting;
        bool voltageText, currentText;
        bool pins[5];
    } cases[] = {
        {1, true, false, {false, false, true, true, true}},
        {2, false, true, {true, true, false, true, true}},
        {5, false, false, {false, false, false, true, true}},
    };
    for (const Case& c : cases) {
        frmMessage window;
        window.SetDIPSetting(c.setting);
        window.show();
        EXPECT_EQ(window.windowTitle(), "Quarno Q2");
        EXPECT_EQ(window.findChild<QLabel*>("lblLabel_0")->isVisible(), c.voltageText);
        EXPECT_EQ(window.findChild<QLabel*>("lblLabel_1")->isVisible(), c.currentText);
        EXPECT_TRUE(window.findChild<QLabel*>("lblLabel_2")->isVisible());
        EXPECT_EQ(window.findChild<QLabel*>("lblPin")->text(), "J12");
        // What is drawn: the pixel at the centre of each pin's place, from the window's
        // own rendering, is black exactly where a pin shows.
        const QImage image = window.grab().toImage();
        const qreal scale = image.width() / qreal(window.width());
        for (int i = 0; i < 5; ++i) {
            const QPoint centre(pagecommon::Twips(2160 + i * 360 + 120), pagecommon::Twips(1320 + 120));
            const QColor pixel = image.pixelColor((QPointF(centre) * scale).toPoint());
            EXPECT_EQ(pixel == QColor(Qt::black), c.pins[i]) << "setting " << c.setting << " pin " << i;
            EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("shpPin_%1").arg(i))->isVisible(), c.pins[i]) << i;
        }
        auto* ok = window.findChild<QPushButton*>("cmdOK");
        EXPECT_NEAR(ok->x() + ok->width() / 2, window.width() / 2, 1);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    }
}

TEST_F(AnalogPageTest, EditedInputSavesAndReopensToTheSameBytes)
{
    QTemporaryDir dir;
    doc->Main()->SetClassified(false); // shutdown below the limit is then allowed
    Click(3);
    page->chkAnalogActive->setChecked(true);
    page->txtAnalogDescription->setText("Charge air");
    pagecommon::SelectByItemData(page->cmbAnalogAction, 5);
    page->cmbAnalogActionDirection->setCurrentIndex(1);
    page->numAnalogSensorMax->SetValue(6.0f);
    page->numAnalogLimit[1]->SetValue(2.5f);
    page->numAnalogLimit[2]->SetValue(3.1f);
    page->cmbAnalogUnits->setEditText("bar");
    page->numAnalogAlarmDelay->SetValue(5);
    const QString first = dir.filePath("first.QRN");
    ASSERT_TRUE(doc->SaveFile(first));

    std::unique_ptr<XelObject> reopened = CreateDefaultSetupDocument();
    ASSERT_TRUE(reopened->LoadFile(first));
    state.SetXelObject(reopened.get());
    doc.swap(reopened);
    page->LoadAnalog();
    Click(3);
    Click(4);
    Click(3);
    EXPECT_EQ(page->txtAnalogDescription->text(), "Charge air");
    EXPECT_FLOAT_EQ(page->numAnalogLimit[2]->Value(), 3.1f);
    EXPECT_EQ(page->cmbAnalogAction->currentData().toInt(), 5);
    EXPECT_FALSE(doc->Changed());
    const QString second = dir.filePath("second.QRN");
    ASSERT_TRUE(doc->SaveFile(second));
    QFile a(first), b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    XelAnalogIn* input = Input(3);
    EXPECT_EQ(input->Limit(0), 31);
    EXPECT_EQ(input->Limit(1), 25);
    EXPECT_EQ(input->SensorMax(), 60);
    EXPECT_EQ(input->Units(), "bar");
    EXPECT_EQ(input->AlarmDelay(), 5);
    EXPECT_EQ(input->ActionDirection(), 1);
}

TEST_F(AnalogPageTest, J1939ParameterChosenAndSaved)
{
    QTemporaryDir dir;
    SetCAN(true);
    Input(12)->SetActive(true);
    page->LoadAnalog();
    Click(12);
    EXPECT_TRUE(page->conAnalogPID->ChildrenEnabled());
    const int row = page->cmbAnalogJ->findText("Engine Coolant Temperature");
    ASSERT_GE(row, 0);
    page->cmbAnalogJ->setCurrentIndex(row);
    XelAnalogIn* input = Input(12);
    const JData values = input->JValues();
    EXPECT_EQ(values.iMID, 16); // size 1 in the high bits, position 1 counted from 0
    EXPECT_EQ(values.lPID, 0xEE00);
    EXPECT_EQ(values.lPPID, 0x18FE);
    EXPECT_EQ(input->Units(), QString::fromUtf8("°C"));
    EXPECT_EQ(input->Text(), "Engine Coolant Temperature");
    EXPECT_EQ(Row(12)->text(2), "Engine Coolant Temperature");
    EXPECT_FLOAT_EQ(page->numAnalogSensorMin->Value(), -40.0f);
    EXPECT_FLOAT_EQ(page->numAnalogSensorMax->Value(), 215.0f); // the full range of one byte
    page->numAnalogLimit[1]->SetValue(95.0f);
    EXPECT_EQ(input->Limit(1), 1350);

    const QString path = dir.filePath("bus.QRN");
    ASSERT_TRUE(doc->SaveFile(path));
    std::unique_ptr<XelObject> reopened = CreateDefaultSetupDocument();
    ASSERT_TRUE(reopened->LoadFile(path));
    state.SetXelObject(reopened.get());
    doc.swap(reopened);
    page->LoadAnalog();
    Click(12);
    EXPECT_EQ(Input(12)->JValues(), values);
    EXPECT_EQ(page->cmbAnalogJ->currentIndex(), row);
    EXPECT_FLOAT_EQ(page->numAnalogLimit[1]->Value(), 95.0f);
    EXPECT_EQ(Row(12)->text(1), "J1939");
    EXPECT_FALSE(doc->Changed());
}
