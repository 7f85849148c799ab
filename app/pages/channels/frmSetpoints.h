#pragma once
// The RPM-dependent alarm curve of the selected analog input in a larger, resizable window,
// with a read-out of the speed and the limit under the mouse. It only shows; it changes
// nothing in the setup.
#include <QDialog>
#include <QVector>

class Container;
class QLabel;
class QLineEdit;
class QPushButton;
class TarnGraph;

class frmSetpoints : public QDialog {
    Q_OBJECT
public:
    explicit frmSetpoints(QWidget* parent = nullptr);

    // The read-out of the graph's mouse position (both -1000000000 outside the plot).
    void graRPMDependentAlarm_GraphValues(float x, float y);
    // Lays the controls out for the current size; a step that would need a negative size is
    // left out.
    void LayoutControls();

    QLineEdit* txtAnalogDescription = nullptr;
    TarnGraph* graRPMDependentAlarm = nullptr;
    Container* conValues = nullptr;
    QLabel* lblSetpoints = nullptr;
    QVector<QLineEdit*> txtValues;
    QLabel* lblXMarking = nullptr;
    QLabel* lblYMarking = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
