#pragma once
// The library's trace window.
#include "seriallink/XelCommExport.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;

class XELCOMM_EXPORT frmDebug : public QDialog {
    Q_OBJECT
public:
    explicit frmDebug(QWidget* parent = nullptr);
    ~frmDebug() override;

    // Clears the trace unless the append box is ticked.
    void NewDebug();
    void AddDebug(const QString& sText);
    void Clear();
    // Empty, at the bottom-left of the screen: as on every (re)load.
    void Load();

    QPlainTextEdit* txtDebug;
    QCheckBox* chkAppend;

    // The library's one window; nullptr while it is not loaded.
    static frmDebug* Loaded();

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
