// Every page laid out for the widest values its entry boxes take and the longest entries of
// its combos, in the design font, larger fonts and a scaled screen: the text of every box,
// combo, label, check box and frame title fits, and no control or frame runs into another or
// out of the frame around it.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/services/clsADO.h"
#include "app/services/clsJData.h"
#include "controls/Container.h"
#include "controls/EntryBox.h"
#include "controls/Float.h"
#include "controls/Number.h"

#include "tests/common/TextRoom.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>

using namespace frametest;
using testing_doubles::ListRoom;
using testing_doubles::TextRoom;

namespace {

// The widest of the texts in the font of `w`.
int Widest(const QWidget* w, const QStringList& texts)
{
    int widest = 0;
    for (const QString& t : texts)
        widest = qMax(widest, w->fontMetrics().horizontalAdvance(t));
    return widest;
}

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// Puts the widest of the box's limits into it.
QStringList FillWidest(EntryBox* box)
{
    if (auto* n = qobject_cast<Number*>(box)) {
        const QString lo = QString::number(n->Min()), hi = QString::number(n->Max());
        n->SetValue(Widest(n->TextBox(), {hi}) >= Widest(n->TextBox(), {lo}) ? n->Max() : n->Min());
        return {lo, hi};
    }
    auto* f = qobject_cast<Float*>(box);
    const QString lo = QString::number(f->Min(), 'f', f->NumberOfDecimals());
    const QString hi = QString::number(f->Max(), 'f', f->NumberOfDecimals());
    f->SetValue(Widest(f->TextBox(), {hi}) >= Widest(f->TextBox(), {lo}) ? f->Max() : f->Min());
    return {lo, hi};
}

bool IsShown(QWidget* w, QWidget* page) { return w->isVisibleTo(page); }

std::string Name(const QObject* o) { return o->objectName().toStdString(); }

// Combos whose entries can be far longer than the box: their list shows the entries whole.
const QStringList kListOnly = {"cmbDigitalJ", "cmbAnalogJ"};

class PageLayoutTest : public FrameTest {};

} // namespace

TEST_F(PageLayoutTest, EveryPageShowsItsWidestValuesWhole)
{
    // The J1939 parameters: the longest entries any combo of the pages takes.
    auto fillJ = [this](const char* name, bool digital) {
        return [this, name, digital](QWidget* page) {
            auto* combo = page->findChild<QComboBox*>(name);
            ASSERT_NE(combo, nullptr) << name;
            std::unique_ptr<clsJData> map;
            const qint16 j1939 = 4;
            if (digital)
                window->State().ADO->FillJComboDigital(combo, map, j1939);
            else
                window->State().ADO->FillJComboAnalog(combo, map, j1939);
            EXPECT_GT(combo->count(), 10) << name;
        };
    };
    struct PageCase {
        int tab;
        const char* name;
        bool hasControls;
        // Values and entries that make a box, a combo or a caption on the page widest.
        std::function<void(QWidget*)> widest;
    } pages[] = {
        {TabMain, "Main", true, {}},
        {TabSwitch, "Switch", true, fillJ("cmbDigitalJ", true)},
        {TabAnalogIn, "Analog In", true, fillJ("cmbAnalogJ", false)},
        {TabStandbyOperation, "Standby Operation", true, {}},
        {TabSpeedSensor, "Speed Sensor", true,
         [](QWidget* page) {
             // The largest overspeed percentage: the lowest nominal speed, the highest overspeed.
             page->findChild<Number*>("numSpeedSensorNomMax")->SetValue(100);
             page->findChild<Number*>("numSpeedSensorSpeeding")->SetValue(7500);
         }},
        {TabBattery, "Battery", true, {}},
        {TabInfo, "Info", false, {}},
        {TabRelays, "Relays", false, {}},
    };
    // The design font and larger ones, as a desktop with bigger text shows the pages.
    const QFont designFont = QApplication::font();
    for (const qreal points : {0.0, 10.0, 12.0}) {
    SCOPED_TRACE(testing::Message() << "font size " << points);
    QFont font = designFont;
    if (points > 0)
        font.setPointSizeF(points);
    QApplication::setFont(font);
    CloseWindow();
    ASSERT_TRUE(Start());
    window->show();
    for (const PageCase& p : pages) {
        SCOPED_TRACE(p.name);
        QWidget* container = window->PageContainer(p.tab);
        ASSERT_NE(container, nullptr);
        ASSERT_NE(container->layout()->itemAt(0), nullptr);
        QWidget* page = container->layout()->itemAt(0)->widget();
        ASSERT_NE(page, nullptr);
        window->Tabs()->setCurrentIndex(p.tab);
        container->show();
        QApplication::processEvents();
        QMap<EntryBox*, QStringList> limits;
        const QList<EntryBox*> boxes = page->findChildren<EntryBox*>();
        for (EntryBox* box : boxes)
            limits[box] = FillWidest(box);
        if (p.widest)
            p.widest(page);
        QApplication::processEvents();

        QList<QWidget*> controls;
        // A control placed by hand keeps its size while hidden; one in a layout is sized
        // when it shows.
        const auto sized = [page](QWidget* w) { return IsShown(w, page) || !w->parentWidget()->layout(); };
        for (EntryBox* box : boxes) {
            controls << box;
            const int needed = Widest(box->TextBox(), limits[box] + QStringList{box->Text()});
            if (sized(box))
                EXPECT_LE(needed, TextRoom(box->TextBox())) << Name(box) << " " << box->Text().toStdString();
        }
        for (QComboBox* combo : page->findChildren<QComboBox*>()) {
            controls << combo;
            if (kListOnly.contains(combo->objectName())) {
                EXPECT_LE(Widest(combo->view(), Items(combo)), ListRoom(combo)) << Name(combo);
                EXPECT_EQ(combo->toolTip(), combo->currentText()) << Name(combo);
            } else if (sized(combo)) {
                EXPECT_LE(Widest(combo, Items(combo)), TextRoom(combo))
                    << Name(combo) << " " << Items(combo).join('|').toStdString();
            }
        }
        // Captions placed by hand show their whole text.
        for (QWidget* w : page->findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(w);
            const bool caption = (label && !label->wordWrap()) || qobject_cast<QCheckBox*>(w);
            if (!caption || w->parentWidget()->layout() || !IsShown(w, page))
                continue;
            controls << w;
            EXPECT_LE(w->sizeHint().width(), w->width()) << Name(w);
        }
        // Frame titles fit on the frame and clear its contents.
        for (Container* frame : page->findChildren<Container*>()) {
            if (frame->Caption().isEmpty() || !IsShown(frame, page))
                continue;
            const QRect title = frame->fontMetrics().boundingRect(QRect(), Qt::TextShowMnemonic, frame->Caption());
            EXPECT_LE(6 + title.width() + 2, frame->width()) << Name(frame);
            for (QObject* o : frame->children())
                if (auto* inside = qobject_cast<QWidget*>(o); inside && IsShown(inside, page))
                    EXPECT_GE(inside->y(), frame->fontMetrics().height()) << Name(inside) << " under " << Name(frame);
        }
        // Every shown control and every frame around one keeps clear of the shown widgets
        // beside it, and whatever shows in such a frame (captions too) stays inside it.
        QSet<QWidget*> checked, frames;
        for (QWidget* w : controls) {
            for (QWidget* at = w; at && at != page; at = at->parentWidget()) {
                if (checked.contains(at) || !IsShown(at, page))
                    continue;
                checked << at;
                QWidget* frame = at->parentWidget();
                if (frame != page)
                    frames << frame;
                for (QObject* o : frame->children()) {
                    auto* other = qobject_cast<QWidget*>(o);
                    if (!other || other == at || other->isWindow() || !IsShown(other, page))
                        continue;
                    // Groups that take turns at one place (alarm or shutdown limit) do not collide.
                    if (other->pos() == at->pos())
                        continue;
                    EXPECT_FALSE(other->geometry().intersects(at->geometry()))
                        << Name(at) << " overlaps " << Name(other);
                }
            }
        }
        for (QWidget* frame : frames) {
            for (QObject* o : frame->children()) {
                auto* inside = qobject_cast<QWidget*>(o);
                if (inside && !inside->isWindow() && IsShown(inside, page))
                    EXPECT_TRUE(QRect(QPoint(0, 0), frame->size()).contains(inside->geometry()))
                        << Name(inside) << " leaves " << Name(frame);
            }
        }
        EXPECT_EQ(!controls.isEmpty(), p.hasControls);
    }
    }
    QApplication::setFont(designFont);
}

// An option that shows or hides a row of the Main page leaves every row where it was, so a
// second click at the same place hits the same control.
TEST_F(PageLayoutTest, MainPageRowsStayWhenAnOptionChanges)
{
    ASSERT_TRUE(Start());
    window->show();
    QWidget* page = window->PageContainer(TabMain);
    const auto check = [page](const char* name) { return page->findChild<QCheckBox*>(name); };
    const auto combo = [page](const char* name) { return page->findChild<QComboBox*>(name); };
    const QStringList rows = {"cmbMainOperationMode", "txtMainDescription", "cmbMainLanguage", "numMainLCDLightDelay",
                              "chkMainInvertLCDOnAlarm", "chkMainAckOnWarning", "chkMainShutdownOverride",
                              "chkMainClassified", "chkMainCAN", "chkMainDiagnostics", "cmbMainEngineType",
                              "cmbMainEngineHours", "cmbMainOutput", "txtMainFirmware"};
    const auto where = [&] {
        QString at;
        for (const QString& name : rows) {
            const QWidget* w = page->findChild<QWidget*>(name);
            const QPoint p = w->mapTo(page, QPoint());
            // Combos take the width of their text; the rows must not move or change height.
            at += QStringLiteral("%1 at %2,%3 high %4\n").arg(name).arg(p.x()).arg(p.y()).arg(w->height());
        }
        return at.toStdString();
    };
    struct Option {
        const char* name;
        std::function<void(bool)> set;
    } options[] = {
        {"J1939/J1587", [&](bool on) { check("chkMainCAN")->setChecked(on); }},
        {"Enable Diagnostic", [&](bool on) { check("chkMainDiagnostics")->setChecked(on); }},
        {"mode with the longest description",
         [&](bool on) { combo("cmbMainOperationMode")->setCurrentIndex(on ? 2 : 1); }},
        {"Port P3 logs to the printer", [&](bool on) { combo("cmbMainOutput")->setCurrentIndex(on ? 1 : 0); }},
    };
    for (const Option& o : options) {
        SCOPED_TRACE(o.name);
        o.set(false);
        QApplication::processEvents();
        const std::string off = where();
        o.set(true);
        QApplication::processEvents();
        EXPECT_EQ(where(), off);
        o.set(false);
        QApplication::processEvents();
        EXPECT_EQ(where(), off);
    }
}

// The same on a screen scaled by 1.25: the factor holds only from the start of a process.
TEST_F(PageLayoutTest, EveryPageShowsItsWidestValuesWholeWhenScaled)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        GTEST_SKIP() << "this is the scaled run";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", "1.25");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=PageLayoutTest.EveryPageShowsItsWidestValuesWhole"});
    ASSERT_TRUE(child.waitForFinished(300000));
    const QByteArray out = child.readAllStandardOutput();
    EXPECT_EQ(child.exitCode(), 0) << out.right(4000).toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.right(4000).toStdString();
}
