#pragma once
// Tells that a setup file was written by a newer program and offers the product web page.
#include <QDialog>

class QLabel;

class frmFileVersionConflict : public QDialog {
    Q_OBJECT
public:
    explicit frmFileVersionConflict(QWidget* parent = nullptr);
    void Init(const QString& message);
    bool Cancelled() const { return m_cancelled; }

private:
    QLabel* m_message = nullptr;
    bool m_cancelled = true;
};
