// The row fit of a page placed by hand: a caption grows to its text and moves its row and
// column along, a frame grows for its contents and shrinks back once they are short again,
// a frame title keeps clear of the contents, and a long list widens only its drop-down.
#include "app/pages/common/RowFit.h"
#include "controls/Container.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace pagecommon;

namespace {

struct Page {
    QWidget root;
    Container* frame = new Container(&root);
    QLabel* name = new QLabel(QStringLiteral("Name"), frame);
    QLineEdit* nameBox = new QLineEdit(frame);
    QLabel* info = new QLabel(QStringLiteral("Info"), frame);
    QLineEdit* infoBox = new QLineEdit(frame);
    QLabel* beside = new QLabel(QStringLiteral("Beside"), &root);
    QLabel* below = new QLabel(QStringLiteral("Below"), &root);
    Page()
    {
        root.resize(600, 300);
        frame->SetCaption(QStringLiteral("Frame"));
        frame->setGeometry(10, 10, 260, 80);
        name->setGeometry(5, 25, 60, 17);
        nameBox->setGeometry(70, 25, 100, 20);
        info->setGeometry(5, 50, 60, 17);
        infoBox->setGeometry(70, 50, 100, 20);
        beside->setGeometry(300, 10, 80, 17);
        below->setGeometry(10, 100, 80, 17);
    }
    QList<QWidget*> All() const { return {frame, name, nameBox, info, infoBox, beside, below}; }
};

} // namespace

TEST(RowFit, CaptionsTakeTheirTextAndFramesShrinkBack)
{
    Page page;
    FitRows(&page.root);
    QMap<QWidget*, QRect> designed;
    for (QWidget* w : page.All())
        designed[w] = w->geometry();
    const QString longName = QStringLiteral("A much longer name than the column has room for");
    struct Step {
        const char* what;
        QString name;
        int captionPoints; // 0: as built
        bool asDesigned;
    } steps[] = {
        {"fits", QStringLiteral("Name"), 0, true},
        {"long caption", longName, 0, false},
        {"short again", QStringLiteral("Nm"), 0, true},
        {"large title", QStringLiteral("Name"), 30, false},
        {"title as built", QStringLiteral("Name"), 0, true},
    };
    const QFont built = page.frame->font();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        page.name->setText(s.name);
        page.name->adjustSize();
        page.name->resize(60, 17); // as the page gives it
        QFont title = built;
        if (s.captionPoints)
            title.setPointSize(s.captionPoints);
        page.frame->setFont(title);
        FitRows(&page.root);
        for (QWidget* w : page.All()) {
            // Every caption shows whole, and the rows and columns keep clear of each other.
            if (auto* label = qobject_cast<QLabel*>(w))
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            for (QWidget* other : page.All())
                if (other != w && other->parentWidget() == w->parentWidget())
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()));
            if (s.asDesigned)
                EXPECT_EQ(w->geometry(), designed[w]);
        }
        EXPECT_EQ(page.nameBox->x(), page.infoBox->x()); // one column
        EXPECT_TRUE(QRect(QPoint(), page.frame->size()).contains(page.nameBox->geometry()));
        EXPECT_GE(page.name->y(), page.frame->fontMetrics().height()); // under the title
        EXPECT_EQ(page.root.minimumWidth() > 0, !s.asDesigned); // the page asks for room only while grown
    }
}

TEST(RowFit, ALongListWidensOnlyItsDropDown)
{
    QWidget root;
    auto* combo = new QComboBox(&root);
    combo->setGeometry(10, 10, 120, 22);
    FitListOnly(combo);
    const QString longest = QStringLiteral("Engine Protection System has Shutdown Engine");
    combo->addItems({QStringLiteral("Short"), longest});
    FitRows(&root);
    EXPECT_EQ(combo->width(), 120);
    EXPECT_GE(combo->view()->minimumWidth(), combo->view()->fontMetrics().horizontalAdvance(longest));
    for (int i : {1, 0}) {
        combo->setCurrentIndex(i);
        EXPECT_EQ(combo->toolTip(), combo->itemText(i));
    }
}
