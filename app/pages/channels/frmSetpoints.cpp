#include "app/pages/channels/frmSetpoints.h"

#include "app/pages/common/PageCommon.h"
#include "controls/Container.h"
#include "controls/TarnGraph.h"
#include "platform/DialogFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <cmath>

using pagecommon::ToTwips;
using pagecommon::Twips;

namespace {

QLineEdit* MakeReadOnlyBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    box->setPalette(pal);
    return box;
}

void SetGeometryTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

} // namespace

// Owned by the window it is opened from while that one is on show: a window manager minimises
// the two together and brings them back together.
frmSetpoints::frmSetpoints(QWidget* parent) : QDialog(parent ? platform::DialogOwner(parent) : nullptr)
{
    setObjectName(QStringLiteral("frmSetpoints"));
    setWindowTitle(QStringLiteral("RPM Dependent Setpoints"));
    setWindowFlags(Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setSizeGripEnabled(true);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    txtAnalogDescription = MakeReadOnlyBox(this, QStringLiteral("txtAnalogDescription"));
    SetGeometryTwips(txtAnalogDescription, 120, 120, 7770, 315);

    graRPMDependentAlarm = new TarnGraph(this);
    graRPMDependentAlarm->setObjectName(QStringLiteral("graRPMDependentAlarm"));
    SetGeometryTwips(graRPMDependentAlarm, 120, 600, 7425, 3735);
    graRPMDependentAlarm->SetXStep(250);
    graRPMDependentAlarm->SetXSteps(13);
    graRPMDependentAlarm->SetFromTop(25);
    graRPMDependentAlarm->SetFromRight(15);
    graRPMDependentAlarm->SetFromBottom(30);
    graRPMDependentAlarm->SetMarkColor(QColor(0, 0, 0));
    graRPMDependentAlarm->SetBackColor(palette().color(QPalette::Button));
    graRPMDependentAlarm->SetMarkDescriptionBottom(QStringLiteral("RPM"));
    graRPMDependentAlarm->SetMarkDescriptionLeft(QStringLiteral("WWWW"));
    QFont markFont(QStringLiteral("MS Sans Serif"));
    graRPMDependentAlarm->SetMarkFontBottom(markFont);
    graRPMDependentAlarm->SetMarkFontLeft(markFont);
    connect(graRPMDependentAlarm, &TarnGraph::GraphValues, this,
            [this](float x, float y) { graRPMDependentAlarm_GraphValues(x, y); });

    conValues = new Container(this);
    conValues->setObjectName(QStringLiteral("conValues"));
    conValues->SetBorderStyle(Container::None);
    SetGeometryTwips(conValues, 90, 4380, 4725, 555);
    lblSetpoints = new QLabel(QStringLiteral("Value at cursor"), conValues);
    lblSetpoints->setObjectName(QStringLiteral("lblSetpoints"));
    // The caption may need more room than designed: it grows to the left, never under the box.
    const int captionWidth = qMax(1215, ToTwips(lblSetpoints->sizeHint().width()) + 15);
    SetGeometryTwips(lblSetpoints, qMax(0, qMin(240, 1500 - captionWidth)), 150, captionWidth, 255);
    lblSetpoints->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtValues.append(MakeReadOnlyBox(conValues, QStringLiteral("txtValues_0")));
    SetGeometryTwips(txtValues[0], 1560, 120, 705, 315);
    lblXMarking = new QLabel(conValues);
    lblXMarking->setObjectName(QStringLiteral("lblXMarking"));
    lblXMarking->move(Twips(2310), Twips(180));
    txtValues.append(MakeReadOnlyBox(conValues, QStringLiteral("txtValues_1")));
    SetGeometryTwips(txtValues[1], 2430, 120, 705, 315);
    lblYMarking = new QLabel(conValues);
    lblYMarking->setObjectName(QStringLiteral("lblYMarking"));
    lblYMarking->move(Twips(3180), Twips(180));

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    SetGeometryTwips(cmdClose, 6390, 4530, 1110, 375);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    resize(Twips(8010), Twips(5565));
}

void frmSetpoints::LayoutControls()
{
    const int w = ToTwips(width());
    const int h = ToTwips(height());
    const int descriptionWidth = w - 2 * ToTwips(txtAnalogDescription->x());
    if (descriptionWidth > 0)
        txtAnalogDescription->resize(Twips(descriptionWidth), txtAnalogDescription->height());
    const int closeLeft = w - ToTwips(cmdClose->width()) - 120;
    const int closeTop = h - ToTwips(cmdClose->height()) - 120;
    if (closeLeft >= 0 && closeTop >= 0)
        cmdClose->move(Twips(closeLeft), Twips(closeTop));
    const int graphLeft = ToTwips(graRPMDependentAlarm->x());
    const int graphTop = ToTwips(graRPMDependentAlarm->y());
    const int graphWidth = w - 2 * graphLeft;
    if (graphWidth > 0)
        graRPMDependentAlarm->resize(Twips(graphWidth), graRPMDependentAlarm->height());
    const int graphHeight = ToTwips(cmdClose->y()) - graphTop - graphLeft;
    if (graphHeight > 0)
        graRPMDependentAlarm->resize(graRPMDependentAlarm->width(), Twips(graphHeight));
    conValues->move(conValues->x(), Twips(graphTop + ToTwips(graRPMDependentAlarm->height()) + 45));
    lblXMarking->setText(graRPMDependentAlarm->MarkDescriptionBottom());
    lblXMarking->adjustSize();
    lblYMarking->setText(graRPMDependentAlarm->MarkDescriptionLeft());
    lblYMarking->adjustSize();
    txtValues[1]->move(Twips(ToTwips(lblXMarking->x() + lblXMarking->width()) + 90), txtValues[1]->y());
    lblYMarking->move(Twips(ToTwips(txtValues[1]->x() + txtValues[1]->width()) + 30), lblYMarking->y());
    graRPMDependentAlarm->Refresh();
}

void frmSetpoints::graRPMDependentAlarm_GraphValues(float x, float y)
{
    // A position outside the plot, or a graph without a scale, reads as nothing.
    const bool outside = x == TarnGraph::OutsideValue && y == TarnGraph::OutsideValue;
    if (outside || !std::isfinite(x) || !std::isfinite(y)) {
        txtValues[0]->clear();
        txtValues[1]->clear();
        return;
    }
    const QLocale locale;
    txtValues[0]->setText(locale.toString(double(x), 'f', 0));
    txtValues[1]->setText(locale.toString(double(y), 'f', 1));
}

void frmSetpoints::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutControls();
}

void frmSetpoints::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    LayoutControls();
}
