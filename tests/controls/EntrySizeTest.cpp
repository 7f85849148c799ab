// An entry box asks for the width that shows the widest value its limits allow.
#include "controls/Float.h"
#include "controls/Number.h"
#include "tests/common/Doubles.h"
#include "tests/common/TextRoom.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using testing_doubles::TextRoom;

TEST(EntryBoxSize, MinimumWidthShowsEveryLimitWhole)
{
    testing_doubles::PlatformDoubles doubles;
    struct Row {
        bool decimal;
        double min, max;
        int decimals;
        qreal pointSize; // 0 keeps the default font
    } rows[] = {
        {false, 0, 100, 0, 0},     {false, 0, 255, 0, 0},      {false, 100, 7500, 0, 0},
        {false, -3000, 3000, 0, 0}, {false, 0, 2000000000, 0, 0}, {false, 0, 6000, 0, 16},
        {true, -3000, 3000, 1, 0}, {true, 0, 1000, 1, 0},       {true, 0.1, 1.0, 1, 0},
        {true, -3000, 3000, 2, 0}, {true, -3000, 3000, 1, 20},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.decimal ? "Float " : "Number ") << r.min << ".." << r.max << " decimals "
                                        << r.decimals << " size " << r.pointSize);
        std::unique_ptr<EntryBox> box;
        QStringList limits;
        if (r.decimal) {
            auto* f = new Float;
            f->SetNumberOfDecimals(quint8(r.decimals));
            f->SetMin(float(r.min));
            f->SetMax(float(r.max));
            box.reset(f);
            limits = {QString::number(r.min, 'f', r.decimals), QString::number(r.max, 'f', r.decimals)};
        } else {
            auto* n = new Number;
            n->SetMin(qint32(r.min));
            n->SetMax(qint32(r.max));
            box.reset(n);
            limits = {QString::number(qint64(r.min)), QString::number(qint64(r.max))};
        }
        if (r.pointSize > 0) {
            QFont font = box->Font();
            font.setPointSizeF(r.pointSize);
            box->SetFont(font);
        }
        box->resize(box->minimumSizeHint());
        box->show(); // the parts are placed when the box is shown
        const QFontMetrics fm(box->TextBox()->font());
        int widest = 0;
        for (const QString& text : limits) {
            widest = qMax(widest, fm.horizontalAdvance(text));
            EXPECT_LE(fm.horizontalAdvance(text), TextRoom(box->TextBox())) << text.toStdString();
        }
        // Not much more than that, and the spin part keeps its place beside the text.
        EXPECT_LE(TextRoom(box->TextBox()) - widest, fm.horizontalAdvance(QLatin1Char('0')) + 2);
        QWidget* spin = box->findChild<QWidget*>("spnNumber");
        EXPECT_EQ(spin->x() + spin->width(), box->width());
        EXPECT_LT(box->TextBox()->x() + box->TextBox()->width(), spin->x() + 1);
        EXPECT_GE(box->sizeHint().width(), box->minimumSizeHint().width());
    }
}

} // namespace
