#include "app/frame/frmAbout.h"
#include "platform/DialogFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#ifndef QUARNO_VERSION_TEXT
#define QUARNO_VERSION_TEXT "0.0.0"
#endif

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), m_alive(std::make_shared<bool>(true))
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quarno Q2"));
    auto* grid = new QGridLayout(this);
    auto caption = [this](const QString& text, const QString& name) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText); // the versions come from the unit and the file
        return label;
    };
    grid->addWidget(caption(QStringLiteral("Version Information"), QStringLiteral("lblVersion_0")), 0, 0, 1, 2);
    grid->addWidget(caption(QStringLiteral("EXE"), QStringLiteral("lblVersion_1")), 1, 0);
    grid->addWidget(caption(QStringLiteral("QRN"), QStringLiteral("lblVersion_2")), 2, 0);
    grid->addWidget(caption(QStringLiteral("Firmware"), QStringLiteral("lblVersion_3")), 3, 0);
    grid->addWidget(caption(QStringLiteral("Hardware"), QStringLiteral("lblVersion_4")), 4, 0);
    grid->addWidget(caption(QStringLiteral(QUARNO_VERSION_TEXT), QStringLiteral("lblVersionEXE")), 1, 1);
    m_qrn = caption(QString(), QStringLiteral("lblVersionQRN"));
    m_fw = caption(QStringLiteral("..."), QStringLiteral("lblVersionFW"));
    m_hw = caption(QStringLiteral("..."), QStringLiteral("lblVersionHW"));
    grid->addWidget(m_qrn, 2, 1);
    grid->addWidget(m_fw, 3, 1);
    grid->addWidget(m_hw, 4, 1);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtQuarno"));
    m_text->setReadOnly(true);
    m_text->setPlainText(QStringLiteral(
        "Quarno Q2 sets up the ECX engine control unit: build a setup, keep it in files, print it, "
        "and move it to and from the unit over the serial cable.\n\n"
        "The firmware and hardware versions above are read from the connected unit."));
    m_text->setEnabled(false);
    grid->addWidget(m_text, 5, 0, 1, 2);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    grid->addWidget(m_ok, 6, 1, Qt::AlignRight);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("timVersion"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(1);
    connect(m_timer, &QTimer::timeout, this, &frmAbout::ReadVersions);
}

frmAbout::~frmAbout() { *m_alive = false; }

void frmAbout::SetQRNVersion(const QString& version) { m_qrn->setText(version); }

void frmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per showing; the single shot cannot fire again while the unit is read.
    if (!m_read && !m_reading)
        m_timer->start();
}

void frmAbout::ReadVersions()
{
    if (m_reading || m_read)
        return;
    m_reading = true;
    const std::shared_ptr<bool> alive = m_alive;
    QString firmware = QStringLiteral("N/A");
    QString hardware = QStringLiteral("N/A");
    try {
        if (m_reader) {
            firmware = m_reader(true);
            if (!*alive)
                return;
            hardware = m_reader(false);
        }
    } catch (...) {
    }
    if (!*alive)
        return;
    m_fw->setText(firmware.isEmpty() ? QStringLiteral("N/A") : firmware);
    m_hw->setText(hardware.isEmpty() ? QStringLiteral("N/A") : hardware);
    m_reading = false;
    m_read = true;
    m_ok->setEnabled(true);
    m_text->setEnabled(true);
    // A close asked for during the read is carried out now.
    if (m_closeWanted)
        accept();
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    if (!m_read) {
        m_closeWanted = m_reading;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmAbout::reject()
{
    if (!m_read) {
        m_closeWanted = m_reading;
        return;
    }
    QDialog::reject();
}
