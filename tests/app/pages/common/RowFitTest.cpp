// The row fit of a page placed by hand: a caption grows to its text and moves its row and
// column along, a frame grows for its contents and shrinks back once they are short again,
// and a frame title keeps clear of the contents.
#include "app/pages/common/RowFit.h"
#include "controls/Container.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(RowFit, CaptionsTakeTheirTextAndFramesShrinkBack)
{
    QWidget root;
    auto* frame = new Container(&root);
    frame->SetCaption(QStringLiteral("Frame"));
    auto* name = new QLabel(frame);
    // Two rows of caption and box in a frame, a caption beside the frame and one below it.
    const QList<std::pair<QWidget*, QRect>> placed = {
        {frame, {10, 10, 260, 80}},
        {name, {5, 25, 60, 17}},
        {new QLineEdit(frame), {70, 25, 100, 20}},
        {new QLabel(QStringLiteral("Info"), frame), {5, 50, 60, 17}},
        {new QLineEdit(frame), {70, 50, 100, 20}},
        {new QLabel(QStringLiteral("Beside"), &root), {300, 10, 80, 17}},
        {new QLabel(QStringLiteral("Below"), &root), {10, 100, 80, 17}},
    };
    for (const auto& [w, at] : placed)
        w->setGeometry(at);
    struct Step {
        const char* name;
        int titlePoints; // 0: as built
        bool asPlaced;
    } steps[] = {
        {"Name", 0, true},
        {"A much longer name than the column has room for", 0, false},
        {"Nm", 0, true},
        {"Name", 30, false},
        {"Name", 0, true},
    };
    const QFont built = frame->font();
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.name << " " << s.titlePoints);
        name->setText(QString::fromLatin1(s.name));
        QFont title = built;
        if (s.titlePoints)
            title.setPointSize(s.titlePoints);
        frame->setFont(title);
        pagecommon::FitRows(&root);
        for (const auto& [w, at] : placed) {
            if (auto* label = qobject_cast<QLabel*>(w))
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            for (const auto& [other, unused] : placed)
                if (other != w && other->parentWidget() == w->parentWidget())
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()));
            EXPECT_TRUE(!s.asPlaced || w->geometry() == at);
            EXPECT_TRUE(w->parentWidget() != frame || w->y() >= frame->fontMetrics().height()); // under the title
        }
        EXPECT_EQ(placed[2].first->x(), placed[4].first->x()); // the boxes stay one column
        EXPECT_EQ(root.minimumWidth() > 0, !s.asPlaced);        // the page asks for room only while grown
    }
}
