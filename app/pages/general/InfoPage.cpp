#include "app/pages/general/InfoPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/InfoTemplateFile.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "app/services/modRegistry.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "controls/InfoWindow.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelObject.h"
#include "platform/FileDialogs.h"
#include "platform/MessagePresenter.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

using pagecommon::ScopedFlag;

namespace {

const QString kCRLF = QStringLiteral("\r\n");
const QString kTemplateFilter = QStringLiteral("Text Files (*.txt)|*.txt");

// A stored window text that breaks the editor's limits is shown cut to them, so the editor
// never keeps the text of another setup.
QString FitWindow(const QString& window)
{
    QStringList lines = window.split(kCRLF);
    while (lines.size() > InfoTemplateFile::kWindowLines)
        lines.removeLast();
    for (QString& line : lines)
        line.truncate(InfoTemplateFile::kLineLength);
    return lines.join(kCRLF);
}

} // namespace

InfoPage::InfoPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("InfoPage"));
    BuildControls();
}

void InfoPage::BuildControls()
{
    auto* grid = new QGridLayout(this);
    const char* const captions[2] = {"Text in Information Window", "Name"};
    for (int i = 0; i < 2; ++i) {
        lblInfo[i] = new QLabel(QString::fromLatin1(captions[i]), this);
        lblInfo[i]->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        txtInfo[i] = new QLineEdit(this);
        txtInfo[i]->setObjectName(QStringLiteral("txtInfo_%1").arg(i));
    }
    txtInfo[0]->setMaxLength(kHeadLength);
    txtInfo[0]->setToolTip(QStringLiteral("Engine name that appears in the slave panel"));
    txtInfo[1]->setMaxLength(kTailLength);
    txtInfo[1]->setVisible(false);
    grid->addWidget(lblInfo[1], 0, 0);
    grid->addWidget(txtInfo[0], 0, 1);
    grid->addWidget(txtInfo[1], 0, 2);

    txtInfoWindow = new InfoWindow(this);
    txtInfoWindow->setObjectName(QStringLiteral("txtInfoWindow"));
    txtInfoWindow->SetLineCount(InfoTemplateFile::kWindowLines);
    txtInfoWindow->SetLineLength(InfoTemplateFile::kLineLength);
    txtInfoWindow->SetFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The editor has no size of its own: room for the unit's lines, as the display shows them.
    {
        const QFontMetrics metrics(txtInfoWindow->Font());
        const int margin = 2 * txtInfoWindow->hWndEdit()->frameWidth() + 12;
        txtInfoWindow->setFixedSize(metrics.horizontalAdvance(QLatin1Char('W')) * (InfoTemplateFile::kLineLength + 1) + margin,
                                    metrics.lineSpacing() * InfoTemplateFile::kWindowLines + margin);
    }
    grid->addWidget(lblInfo[0], 1, 0, 1, 3);
    grid->addWidget(txtInfoWindow, 2, 0, 1, 3, Qt::AlignLeft);

    cmdInfoLoad = new QPushButton(QStringLiteral("Load Template..."), this);
    cmdInfoLoad->setObjectName(QStringLiteral("cmdInfoLoad"));
    cmdInfoSave = new QPushButton(QStringLiteral("Save Template..."), this);
    cmdInfoSave->setObjectName(QStringLiteral("cmdInfoSave"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdInfoLoad);
    buttons->addWidget(cmdInfoSave);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 0, 1, 4);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    // Each name box is as wide as the characters it takes.
    {
        const QFontMetrics metrics(txtInfo[0]->font());
        const int perChar = metrics.horizontalAdvance(QLatin1Char('W'));
        txtInfo[0]->setFixedWidth(perChar * kHeadLength + 12);
        txtInfo[1]->setFixedWidth(perChar * kTailLength + 12);
    }

    // Both name boxes carry characters of the name, so both store.
    for (QLineEdit* box : txtInfo)
        connect(box, &QLineEdit::textChanged, this, [this] { StoreCurrent(); });
    connect(txtInfoWindow, &InfoWindow::Change, this, [this] { StoreCurrent(); });
    connect(txtInfoWindow, &InfoWindow::KeyPress, this, [](qint16& keyAscii) { modDiv::FilterTextKey(keyAscii); });
    connect(cmdInfoLoad, &QPushButton::clicked, this, [this] { LoadTemplate(); });
    connect(cmdInfoSave, &QPushButton::clicked, this, [this] { SaveTemplate(); });
}

// ---- page pattern ---------------------------------------------------------------------

void InfoPage::SetInfoDefaults()
{
    if (XelObject* setup = m_state.XelObject())
        defaultsetup::SetInfoDefaults(*setup);
}

void InfoPage::LoadInfo()
{
    if (XelObject* setup = m_state.XelObject(); setup && setup->Info())
        ShowInfo(*setup->Info());
}

void InfoPage::ShowName(const QString& name)
{
    m_tailShown = false;
    txtInfo[1]->setVisible(false);
    txtInfo[0]->setText(name);
    txtInfo[1]->setText(name.size() > kHeadLength ? name.mid(kHeadLength) : QString());
    if (name.size() > kHeadLength) {
        m_tailShown = true;
        txtInfo[1]->setVisible(true);
    }
}

void InfoPage::ShowInfo(XelInfo& part)
{
    ScopedFlag loading(m_loading);
    const QString text = part.Info();
    QString name = text;
    QString window;
    if (text.contains(kCRLF)) {
        name = extra::BeforeFirst(text, kCRLF);
        window = extra::AfterFirst(text, kCRLF);
    }
    ShowName(name);
    txtInfoWindow->SetText(FitWindow(window));
}

QString InfoPage::NameText() const
{
    return txtInfo[0]->text() + (m_tailShown ? txtInfo[1]->text() : QString());
}

void InfoPage::StoreInfo(XelInfo& part)
{
    if (m_loading)
        return;
    const QString text = NameText() + kCRLF + txtInfoWindow->Text();
    // The page showing exactly what the setup holds is no change (an empty text stays empty).
    if (text == ShownText(part.Info()))
        return;
    part.SetInfo(text);
}

QString InfoPage::ShownText(const QString& stored)
{
    QString name = stored;
    QString window;
    if (stored.contains(kCRLF)) {
        name = extra::BeforeFirst(stored, kCRLF);
        window = extra::AfterFirst(stored, kCRLF);
    }
    name.truncate(kHeadLength + kTailLength);
    return name + kCRLF + FitWindow(window);
}

void InfoPage::StoreCurrent()
{
    if (m_loading || m_state.OpeningSetup)
        return;
    if (XelObject* setup = m_state.XelObject(); setup && setup->Info())
        StoreInfo(*setup->Info());
}

// ---- template file --------------------------------------------------------------------

void InfoPage::LoadTemplate()
{
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Load Info Template");
    request.filter = kTemplateFilter;
    request.fileName = modRegistry::GetInfoTemplate();
    if (!platform::FileDialogs::Instance().ShowOpen(this, request) || request.fileName.isEmpty())
        return;
    const QString path = request.fileName;
    InfoTemplateFile::Content content;
    switch (InfoTemplateFile::Read(path, content)) {
    case InfoTemplateFile::ReadResult::CannotRead:
        extra::LangMsgBox(104, platform::MsgStyle::Exclamation, {path});
        return;
    case InfoTemplateFile::ReadResult::Invalid:
        extra::LangMsgBox(141, platform::MsgStyle::Information, {path});
        return;
    case InfoTemplateFile::ReadResult::Ok:
        break;
    }
    {
        ScopedFlag loading(m_loading);
        ShowName(content.name);
        txtInfoWindow->SetText(content.window);
    }
    StoreCurrent();
    modRegistry::SaveInfoTemplate(path);
}

void InfoPage::SaveTemplate()
{
    QString fileName = modRegistry::GetInfoTemplate();
    for (;;) {
        platform::FileDialogRequest request;
        request.title = QStringLiteral("Save Info Template");
        request.filter = kTemplateFilter;
        request.fileName = fileName;
        request.flags = platform::FileDialogRequest::OverwritePrompt;
        if (!platform::FileDialogs::Instance().ShowSave(this, request) || request.fileName.isEmpty())
            return;
        fileName = request.fileName;
        const QString extension = extra::AfterLast(QFileInfo(fileName).fileName(), QStringLiteral(".")).toUpper();
        if (extension == QLatin1String("TXT"))
            break;
        if (extra::LangMsgBox(195, 324, {fileName}) == platform::MsgResult::Yes)
            break;
    }
    if (!modDiv::ClearReadOnlyAsked(fileName, fileName))
        return;
    if (!InfoTemplateFile::Write(fileName, {NameText(), txtInfoWindow->Text()})) {
        extra::LangMsgBox(190, platform::MsgStyle::Exclamation, {QFileInfo(fileName).fileName(), fileName});
        return;
    }
    modRegistry::SaveInfoTemplate(fileName);
}
